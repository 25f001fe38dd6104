#!/usr/bin/env bash
# Builds the benchmarks in a Release build (build-bench) and runs them:
#   1. the export benchmark (boards built in process, the export against its
#      format-only and one-write bounds); arguments go to it, e.g.
#      --scales 0.1,0.3333,1 --repeat 3;
#   2. the end-to-end benchmark: generated board files of three sizes through
#      the host program pcb28-export (time, peak memory, phases), then
#      Python's json.load on the largest file, for scale; then KiCad boards:
#      the largest demo board of KiCad 6 (video, 7.4 MB) and of KiCad 9
#      (vme-wren, 69.6 MB), where they are, each beside KiCad's own
#      `kicad-cli pcb export pos` when kicad-cli is installed
#      (scripts/check-kicad.sh installs it);
#   3. where 64-bit Wine and the Windows build are (scripts/test-windows.sh),
#      the Windows host program on the full board file (best of three);
#   4. the viewer: pcb28-view drawing the largest export of step 1 (best of
#      three: wall and CPU time, file and picture sizes).
# PCB28_E2E_SCALES (default 0.1,0.3333,1) sets the board-file sizes; set
# empty, only the KiCad boards run.
# The KiCad boards are looked for in the cache of demo boards that
# scripts/setup.sh fills, then in /usr/share/kicad/demos.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPCB28_BENCHMARKS=ON -DPCB28_TESTS=OFF
cmake --build "$BUILD_DIR" -j2 --target pcb28_export_benchmark pcb28_end_to_end_benchmark pcb28-view
"$BUILD_DIR/bench/pcb28_export_benchmark" --dir "$BUILD_DIR" --keep 1 "$@"

scales=${PCB28_E2E_SCALES-0.1,0.3333,1}
echo
echo "== end to end"
cache="${PCB28_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pcb28}"
kicad=()
for board in kicad-demos-6/usr/share/kicad/demos/video/video.kicad_pcb \
  kicad-demos-9/usr/share/kicad/demos/vme-wren/vme-wren.kicad_pcb; do
  for place in "$cache/$board" "/usr/share/kicad/demos/${board#*/usr/share/kicad/demos/}"; do
    if [ -f "$place" ]; then
      kicad+=(--kicad "$place")
      break
    fi
  done
done
! command -v kicad-cli >/dev/null || kicad+=(--kicad-cli "$(command -v kicad-cli)")
"$BUILD_DIR/bench/pcb28_end_to_end_benchmark" --dir "$BUILD_DIR" --scales "$scales" "${kicad[@]}"
python3 - "$BUILD_DIR" <<'PY'
import glob, json, os, sys, time
files = glob.glob(os.path.join(sys.argv[1], "pcb28-e2e-*.json"))
if not files:
    sys.exit(0)
path = max(files, key=os.path.getsize)
def once():
    t0 = time.perf_counter()
    with open(path, "rb") as f:
        json.load(f)
    return time.perf_counter() - t0
print(f"python json.load of {path}: {min(once() for _ in range(3)):.3f} s (best of 3)")
PY
rm -f "$BUILD_DIR"/pcb28-e2e-*.json "$BUILD_DIR"/pcb28-e2e-*.json.pcb

# The 64-bit Windows host program under Wine on the full board file, where
# 64-bit Wine and the Windows build (scripts/test-windows.sh) are present;
# beside it the same program's --version, which is Wine's own start.
windows_build=${PCB28_WINDOWS_BUILD:-build-windows-x86_64}
if [ -x /usr/lib/wine/wine64 ] && [ -f "$windows_build/pcb28-export.exe" ]; then
  echo
  echo "== Windows: $windows_build/pcb28-export.exe under 64-bit Wine"
  cmake --build "$BUILD_DIR" -j2 --target pcb28_make_board_file >/dev/null
  "$BUILD_DIR/pcb28_make_board_file" "$BUILD_DIR/pcb28-windows-board.json" 1 >/dev/null
  python3 - "$BUILD_DIR/pcb28-windows-board.json" "$windows_build" <<'PY'
import os, subprocess, sys, time
board, build = sys.argv[1], sys.argv[2]
run = ["cmake/wine-run.sh", "win64", os.path.join(build, "wineprefix"),
       os.path.join(build, "pcb28-export.exe")]
def best(arguments):
    times = []
    for _ in range(3):
        start = time.perf_counter()
        subprocess.run(run + arguments, check=True, stdout=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return min(times)
start_only = best(["--version"])
export = best(["-q", board, "-o", board + ".pcb"])
print(f"pcb28-export.exe on {os.path.getsize(board) / 1e6:.1f} MB: {export:.3f} s wall "
      f"(best of 3), of which Wine's start (--version) {start_only:.3f} s")
PY
  rm -f "$BUILD_DIR/pcb28-windows-board.json" "$BUILD_DIR/pcb28-windows-board.json.pcb"
fi

echo
echo "== viewer"
python3 - "$BUILD_DIR" <<'PY'
import glob, os, resource, subprocess, sys, time
folder = sys.argv[1]
pcb = max(glob.glob(os.path.join(folder, "pcb28-bench-export-*.pcb")), key=os.path.getsize)
svg = os.path.join(folder, "pcb28-bench-view.svg")
runs = []
for _ in range(3):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run([os.path.join(folder, "pcb28-view"), "-q", pcb, "-o", svg], check=True)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    runs.append((wall, cpu, after.ru_maxrss))
wall, cpu, rss = min(runs)
with open(svg, "rb") as f:
    picture = f.read()
elements = sum(picture.count(b' class="' + k + b'"') for k in
               (b"track", b"arc", b"via", b"pad", b"fill", b"text", b"polygon"))
print(f"pcb28-view {os.path.basename(pcb)}: {os.path.getsize(pcb) / 1e6:.1f} MB -> "
      f"{os.path.getsize(svg) / 1e6:.1f} MB SVG, {elements} elements; "
      f"{wall:.3f} s wall, {cpu:.3f} s CPU (best of 3), peak RSS {rss / 1024:.0f} MiB")
PY
rm -f "$BUILD_DIR"/pcb28-bench-export-*.pcb "$BUILD_DIR"/pcb28-bench-format-*.pcb "$BUILD_DIR"/pcb28-bench-view.svg
