#!/usr/bin/env bash
# Builds everything and runs the whole test suite (BUILD_DIR as in build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"
