#!/usr/bin/env bash
# Installs what is missing and builds: the targets given as arguments, or
# everything. Settings from the environment:
#   BUILD_DIR      the build folder (default: build)
#   PCB28_WERROR   ON to treat warnings as errors
#   PCB28_SANITIZE ON for an AddressSanitizer + UndefinedBehaviorSanitizer build
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir="${BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPCB28_WERROR="${PCB28_WERROR:-OFF}" -DPCB28_SANITIZE="${PCB28_SANITIZE:-OFF}" >/dev/null
targets=()
[ $# -eq 0 ] || targets=(--target "$@")
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
