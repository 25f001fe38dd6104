#!/usr/bin/env bash
# Builds everything and exports the bundled example board to build/example.pcb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
build/pcb28-export examples/example.json -o build/example.pcb
head -n 3 build/example.pcb
