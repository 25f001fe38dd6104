#!/usr/bin/env bash
# Cross-builds the Windows DLLs and programs with mingw-w64 (32-bit and
# 64-bit, warnings as errors), runs the test suite under Wine, and checks
# that the Windows exports of the example and scenario boards and of a
# generated board of about 200,000 tracks are the same bytes as the Linux
# build's (BUILD_DIR, default build; built if needed).
# Settings: PCB28_WINDOWS_ARCHS (default "i686 x86_64").
#
# The 32-bit suite runs under 32-bit Wine. When 32-bit Wine does not work
# (not installed, broken) the script fails. Only a machine whose kernel
# refuses 32-bit x86 programs altogether, which no Wine can help, is let
# through: the log says so in a banner, and the 32-bit build gets only the
# checks made on this machine (export tables, stdcall argument sizes).
set -euo pipefail
cd "$(dirname "$0")/.."
unset DISPLAY WAYLAND_DISPLAY  # a window would wait for a click that never comes
scripts/setup-windows.sh
linux_build=${BUILD_DIR:-build}
PCB28_WERROR=${PCB28_WERROR:-ON} BUILD_DIR=$linux_build scripts/build.sh
jobs=$(nproc)
large_board=$linux_build/windows-large-board.json
"$linux_build/pcb28_make_board_file" "$large_board" 0.526316
boards=(examples/*.json tests/data/scenarios/*.json "$large_board")

# Does the kernel run 32-bit x86 programs? A tiny static 32-bit program that
# exits with status 32 answers for the kernel alone, whatever Wine is
# installed. The kernel refusing it (status 126, "Exec format error") sets
# kernel_refuses to what happened; any other answer is a failure.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '.globl _start\n_start:\n movl $1, %%eax\n movl $32, %%ebx\n int $0x80\n' >"$probe/exit32.s"
as --32 -o "$probe/exit32.o" "$probe/exit32.s"
ld -m elf_i386 -o "$probe/exit32" "$probe/exit32.o"
probe_status=0
"$probe/exit32" 2>"$probe/error" || probe_status=$?
kernel_refuses=""
case $probe_status in
  32) ;;
  126)
    kernel_refuses="$(cat "$probe/error")
## kernel $(uname -r); $(dmesg 2>/dev/null | grep -i -m1 '32-bit emulation' ||
      echo 'its log does not say why')" ;;
  *)
    echo "error: a static 32-bit program that ends with status 32 ended with $probe_status:" >&2
    cat "$probe/error" >&2
    exit 1 ;;
esac

# Does Wine of this architecture run a Windows program? Fails the script
# with what Wine said when not.
require_wine() {
  local wine_arch=$1 prefix=$2 status=0 output loader
  output=$(cmake/wine-run.sh "$wine_arch" "$prefix" cmd /c exit 7 2>&1) || status=$?
  if [ "$status" -ne 7 ]; then
    echo "error: $wine_arch Wine is not installed or does not work: a program that ends with" >&2
    echo "status 7 ended with status $status. Wine said:" >&2
    echo "${output:-(nothing)}" | sed 's/^/   /' >&2
    [ "$wine_arch" = win32 ] && loader=/usr/lib/wine/wine || loader=/usr/lib/wine/wine64
    echo "$loader --version says: $("$loader" --version 2>&1 || true)" >&2
    echo "(scripts/setup-windows.sh installs it: wine, wine64, wine32:i386)" >&2
    exit 1
  fi
}

for arch in ${PCB28_WINDOWS_ARCHS:-i686 x86_64}; do
  preset=windows-$arch
  build=build-$preset
  [ "$arch" = i686 ] && wine_arch=win32 || wine_arch=win64
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"

  if [ "$arch" = i686 ] && [ -n "$kernel_refuses" ]; then
    echo "################################################################################"
    echo "## THE 32-BIT SUITE DOES NOT RUN ON THIS MACHINE: its kernel refuses 32-bit x86"
    echo "## programs. A static 32-bit program could not start:"
    echo "## $kernel_refuses"
    echo "## No 32-bit Wine can run here. Checked instead, without running the build:"
    echo "## its export tables and stdcall argument sizes."
    echo "################################################################################"
    ctest --test-dir "$build" --output-on-failure -R '^windows\.(ExportTables|StdcallSizes)$'
    continue
  fi

  echo "== $preset: tests under Wine"
  require_wine "$wine_arch" "$build/wineprefix"
  # One Wine server for the whole run instead of one per test program.
  WINEPREFIX=$PWD/$build/wineprefix /usr/lib/wine/wineserver -p 2>/dev/null || true
  status=0
  start=$SECONDS
  ctest --test-dir "$build" --output-on-failure -j"$jobs" || status=$?
  cases=$(grep -a -o '^\[  PASSED  \] [0-9]*' "$build/Testing/Temporary/LastTest.log" |
    awk '{n += $4} END {print n + 0}')
  echo "== $preset: $cases test cases passed under $wine_arch Wine in $((SECONDS - start)) s"
  echo "== $preset: tests skipped under Wine, with their reasons"
  grep -a -A1 ': Skipped$' "$build/Testing/Temporary/LastTest.log" || echo "   none"

  echo "== $preset: exports against the Linux build"
  out=$build/compare
  rm -rf "$out"
  mkdir -p "$out/linux" "$out/windows"
  for board in "${boards[@]}"; do
    name=$(basename "$board" .json)
    "$linux_build/pcb28-export" "$board" -o "$out/linux/$name.pcb" 2>/dev/null
    start=$SECONDS
    cmake/wine-run.sh "$wine_arch" "$build/wineprefix" "$build/pcb28-export.exe" "$board" \
      -o "$out/windows/$name.pcb" >/dev/null
    if cmp "$out/linux/$name.pcb" "$out/windows/$name.pcb"; then
      echo "   same bytes: $board ($(wc -c <"$out/linux/$name.pcb") bytes, $((SECONDS - start)) s)"
    else
      status=1
    fi
  done
  WINEPREFIX=$PWD/$build/wineprefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  [ "$status" -eq 0 ] || exit "$status"
  rm -rf "$out"
done
rm -f "$large_board"
