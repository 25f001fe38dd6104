#!/usr/bin/env bash
# Builds what the export needs (the host program, the server and the
# plug-in; no tests) and exports the bundled example board to
# build/example.pcb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh pcb28-export
build/pcb28-export examples/example.json -o build/example.pcb
head -n 3 build/example.pcb
