#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, address and undefined-behaviour
# sanitizers) in build-fuzz and runs each on its seed corpus for
# FUZZ_SECONDS seconds (default 60). Any finding fails the run; the input that
# caused it is left in build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
SECONDS_PER_TARGET=${FUZZ_SECONDS:-60}
werror=${PCB28_WERROR:-OFF}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPCB28_FUZZ=ON -DPCB28_TESTS=OFF -DPCB28_WERROR="$werror"
targets=(fuzz_boardfile fuzz_boardreaders fuzz_export fuzz_kicad)
cmake --build "$BUILD_DIR" -j2 --target "${targets[@]}"
for target in "${targets[@]}"; do
  work="$BUILD_DIR/corpus-run/$target"
  findings="$BUILD_DIR/findings/$target"
  rm -rf "$work"
  mkdir -p "$work" "$findings"
  # A whole board with its host answers needs room: export inputs go up to 64 KB.
  options=()
  if [ "$target" = fuzz_export ]; then options=(-max_len=65536); fi
  # Board-file keys, so that mutations keep to documents the reader takes.
  if [ "$target" = fuzz_boardreaders ]; then options=(-dict=fuzz/boardreaders.dict); fi
  # New inputs go to the scratch folder (the first one), never into the seeds.
  "$BUILD_DIR/fuzz/$target" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=2048 \
    "${options[@]}" -artifact_prefix="$findings/" -print_final_stats=1 "$work" "fuzz/corpus/$target"
done
