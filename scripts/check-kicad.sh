#!/usr/bin/env bash
# Checks the KiCad import against KiCad's own reading of the same boards:
# installs KiCad 9 (Debian's bookworm-backports), exports every board found
# under the folders given with build/pcb28-export, and compares the pad and
# via centres and rotations of each export with what KiCad's pcbnew module
# reads (scripts/kicad-reference.py). Fails when any board fails to export
# or any pad or via differs.
#
#   scripts/check-kicad.sh [FOLDER...]
#
# The folders default to the demo boards of KiCad 9 and of KiCad 6 in the
# cache that scripts/setup.sh fills (${PCB28_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pcb28},
# kicad-demos-9 and kicad-demos-6), the KiCad 6 ones from
# /usr/share/kicad/demos (package kicad-demos) when the cache has none; a
# folder that is not there is skipped with a line. BUILD_DIR (default build)
# is the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

if [ $# -gt 0 ]; then
  folders=("$@")
else
  cache="${PCB28_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pcb28}"
  folders=("$cache/kicad-demos-9" "$cache/kicad-demos-6")
  [ -d "$cache/kicad-demos-6" ] || folders[1]=/usr/share/kicad/demos
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_get() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=1200 "$@"
}

# The build's packages and the demo boards; this also adds Debian's
# bookworm-backports to apt's sources, where KiCad 9 comes from.
scripts/setup.sh

# KiCad 9 with its Python module, for Debian's own Python.
if ! /usr/bin/python3 -c 'import pcbnew, sys; sys.exit(not pcbnew.Version().startswith("9."))' \
  2>/dev/null; then
  apt_get update -qq
  if ! apt-cache policy kicad | grep -q ' 9\.'; then
    echo "check-kicad: apt offers no KiCad 9: bookworm-backports is not among its sources" >&2
    exit 1
  fi
  # KiCad 9 recommends its own demo boards: an installed kicad-demos (the
  # KiCad 6 boards) is held so that the install does not replace it.
  held=""
  if dpkg-query -W -f='${Status}' kicad-demos 2>/dev/null | grep -q "install ok installed" &&
    ! apt-mark showhold | grep -qx kicad-demos; then
    $sudo apt-mark hold kicad-demos >/dev/null
    held=kicad-demos
    trap '$sudo apt-mark unhold kicad-demos >/dev/null' EXIT
  fi
  apt_get install -y -qq --no-install-recommends -t bookworm-backports kicad
  if [ -n "$held" ]; then
    $sudo apt-mark unhold kicad-demos >/dev/null
    trap - EXIT
  fi
fi
echo "KiCad $(/usr/bin/python3 -c 'import pcbnew; print(pcbnew.Version())') (pcbnew for /usr/bin/python3)"

build_dir="${BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target pcb28-export >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pairs=()
failed=0
for folder in "${folders[@]}"; do
  if [ ! -d "$folder" ]; then
    echo "$folder: not there, skipped"
    continue
  fi
  while IFS= read -r -d '' board; do
    out="$work/${#pairs[@]}.pcb"
    if "$build_dir/pcb28-export" "$board" -o "$out" 2>"$work/log"; then
      pairs+=("$board" "$out")
    else
      echo "$board: the export failed: $(grep -v '^pcb28-export: wrote' "$work/log" | tail -1)"
      failed=1
    fi
  done < <(find -H "$folder" -name '*.kicad_pcb' -print0 | sort -z)
done

status=0
if [ ${#pairs[@]} -gt 0 ]; then
  /usr/bin/python3 scripts/kicad-reference.py "${pairs[@]}" || status=$?
fi
echo "$(( ${#pairs[@]} / 2 )) boards compared in $(( SECONDS - started )) s"
if [ $status -ne 0 ] || [ $failed -ne 0 ]; then
  echo "check-kicad: FAILED"
  exit 1
fi
if [ ${#pairs[@]} -eq 0 ]; then
  echo "check-kicad: no board found"
  exit 1
fi
echo "check-kicad: every pad and via within one file unit of KiCad's reading"
