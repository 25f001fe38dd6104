#!/usr/bin/env bash
# Builds the export benchmark in a Release build (build-bench) and runs it.
# Arguments go to the benchmark, e.g. --scales 0.1,0.3333,1 --repeat 3.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPCB28_BENCHMARKS=ON -DPCB28_TESTS=OFF
cmake --build "$BUILD_DIR" -j2 --target pcb28_export_benchmark
"$BUILD_DIR/bench/pcb28_export_benchmark" --dir "$BUILD_DIR" "$@"
