#!/usr/bin/env bash
# Cross-builds the Windows DLLs and programs with mingw-w64 (32-bit and
# 64-bit, warnings as errors), runs the test suite under Wine, and checks
# that the Windows exports of the example and scenario boards are the same
# bytes as the Linux build's (BUILD_DIR, default build; built if needed).
# Settings: PCB28_WINDOWS_ARCHS (default "i686 x86_64").
set -euo pipefail
cd "$(dirname "$0")/.."
unset DISPLAY WAYLAND_DISPLAY  # a window would wait for a click that never comes
scripts/setup-windows.sh
linux_build=${BUILD_DIR:-build}
PCB28_WERROR=${PCB28_WERROR:-ON} BUILD_DIR=$linux_build scripts/build.sh
jobs=$(nproc)
boards=(examples/*.json tests/data/scenarios/*.json)

# Can this machine run 32-bit programs at all? Wine's 32-bit loader is one.
runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

for arch in ${PCB28_WINDOWS_ARCHS:-i686 x86_64}; do
  preset=windows-$arch
  build=build-$preset
  [ "$arch" = i686 ] && wine_arch=win32 || wine_arch=win64
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"

  if [ "$arch" = i686 ] && ! runs_32bit; then
    echo "== $preset: this machine cannot run 32-bit x86 programs (its kernel refuses them), so"
    echo "   Wine cannot run the 32-bit build here: only its export tables are checked"
    ctest --test-dir "$build" --output-on-failure -R '^windows\.ExportTables$'
    continue
  fi

  echo "== $preset: tests under Wine"
  # One Wine server for the whole run instead of one per test program.
  cmake/wine-run.sh "$wine_arch" "$build/wineprefix" cmd /c exit >/dev/null 2>&1 || true
  WINEPREFIX=$PWD/$build/wineprefix /usr/lib/wine/wineserver -p 2>/dev/null || true
  status=0
  ctest --test-dir "$build" --output-on-failure -j"$jobs" || status=$?
  echo "== $preset: tests skipped under Wine, with their reasons"
  grep -a -A1 ': Skipped$' "$build/Testing/Temporary/LastTest.log" || echo "   none"

  echo "== $preset: exports against the Linux build"
  out=$build/compare
  rm -rf "$out"
  mkdir -p "$out/linux" "$out/windows"
  for board in "${boards[@]}"; do
    name=$(basename "$board" .json)
    "$linux_build/pcb28-export" "$board" -o "$out/linux/$name.pcb" 2>/dev/null
    cmake/wine-run.sh "$wine_arch" "$build/wineprefix" "$build/pcb28-export.exe" "$board" \
      -o "$out/windows/$name.pcb" >/dev/null
    if cmp "$out/linux/$name.pcb" "$out/windows/$name.pcb"; then
      echo "   same bytes: $board ($(wc -c <"$out/linux/$name.pcb") bytes)"
    else
      status=1
    fi
  done
  WINEPREFIX=$PWD/$build/wineprefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  [ "$status" -eq 0 ] || exit "$status"
done
