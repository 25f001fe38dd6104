#!/usr/bin/env bash
# Runs a Windows program under Wine: the emulator of the cross builds.
#   wine-run.sh ARCH PREFIX PROGRAM [ARGS...]
# ARCH is win32 or win64 (which Wine loader), PREFIX the Wine prefix (kept in
# the build folder; made on first use). No display, no Wine chatter: a
# program that opened a window would fail instead of waiting for a click.
# Standard output and standard error come out together, after the program.
set -euo pipefail
arch=$1 prefix=$(realpath -m "$2")
shift 2
case "$arch" in
  win32) loader=/usr/lib/wine/wine ;;
  win64) loader=/usr/lib/wine/wine64 ;;
  *) echo "wine-run.sh: unknown architecture $arch" >&2; exit 2 ;;
esac
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  # Parallel tests share one prefix: the first makes it, the others wait.
  ( flock 9; [ -f "$prefix/system.reg" ] || "$loader" wineboot --init >/dev/null 2>&1 ) 9>"$prefix.lock"
fi
# Wine starts its own services on first use, and they live on, holding the
# output they inherited: the program writes to a file, not to the caller's
# pipe, so that a caller reading to the end (CTest) is not kept waiting.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
"$loader" "$@" >"$output" 2>&1 </dev/null || status=$?
cat "$output"
exit "$status"
