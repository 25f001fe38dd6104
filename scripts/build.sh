#!/usr/bin/env bash
# Installs what is missing and builds into build/ (warnings are errors when
# PCB28_WERROR=ON is set in the environment).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPCB28_WERROR="${PCB28_WERROR:-OFF}" >/dev/null
cmake --build build -j"$(nproc)"
