#!/usr/bin/env bash
# Builds the archive for the host's users, build-windows-package/
# pcb28-VERSION-windows.zip: the stripped 32-bit and 64-bit pcb28.dll, the
# README's section for host users as README.txt, and LICENSE as LICENSE.txt.
# Then checks what it wrote: exactly those entries; each DLL of its
# architecture, stripped, with the export table of the unstripped build and
# the version resource of project(), under 1 MiB; the archive under 1 MiB.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-windows.sh
[ -f LICENSE ] || {
  echo "package-windows.sh: there is no LICENSE at the top of the repository;" >&2
  echo "the archive must carry the licence the plug-in is given under" >&2
  exit 1
}
limit=$((1024 * 1024))
out=build-windows-package
rm -rf "$out"

fail() {
  echo "package-windows.sh: $*" >&2
  exit 1
}

for arch in i686 x86_64; do
  cmake --preset "windows-$arch" >/dev/null
  cmake --build --preset "windows-$arch" --target pcb28
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows-i686/CMakeCache.txt)
[ -n "$version" ] || fail "no project version in build-windows-i686/CMakeCache.txt"
folder=pcb28-$version
stage=$out/$folder
mkdir -p "$stage/32-bit" "$stage/64-bit"

# The README's section for host users, in plain text with Windows line ends.
awk '/^## For users of the host/ {on = 1} on && /^## / && !/^## For users of the host/ {exit}
     on' README.md | sed 's/^## //; s/\*\*//g; s/`//g; s/$/\r/' >"$stage/README.txt"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"

# The names a DLL exports.
exports() { "$1-w64-mingw32-objdump" -p "$2" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p'; }

for arch in i686 x86_64; do
  [ "$arch" = i686 ] && bits=32 format=pei-i386 || bits=64 format=pei-x86-64
  built=build-windows-$arch/pcb28.dll
  dll=$stage/$bits-bit/pcb28.dll
  "$arch-w64-mingw32-strip" --strip-all -o "$dll" "$built"

  # Its architecture, nothing left of symbols or debug sections, the same
  # export table as the build, the version resource.
  headers=$("$arch-w64-mingw32-objdump" -f -h "$dll")
  grep -q "file format $format" <<<"$headers" || fail "$dll is not $format"
  ! grep -q '\.debug_' <<<"$headers" || fail "$dll still has debug sections"
  ! grep -q 'HAS_SYMS' <<<"$headers" || fail "$dll still has a symbol table"
  [ "$(exports "$arch" "$dll")" = "$(exports "$arch" "$built")" ] ||
    fail "$dll: export table changed by strip"
  [ -n "$(exports "$arch" "$dll")" ] || fail "$dll: no export table"
  resource=$(strings -e l "$dll")
  for value in ProductVersion "$version" ProductName pcb28 OriginalFilename pcb28.dll; do
    grep -qxF "$value" <<<"$resource" || fail "$dll: no \"$value\" in its version resource"
  done
  size=$(stat -c %s "$dll")
  [ "$size" -lt "$limit" ] || fail "$dll is $size bytes, over 1 MiB"
  echo "$bits-bit pcb28.dll: $size bytes stripped ($(stat -c %s "$built") bytes as built)"
done

zip=$PWD/$out/$folder-windows.zip
(cd "$out" && cmake -E tar cf "$zip" --format=zip "$folder")
listed=$(cmake -E tar tf "$zip" | grep -v '/$' | sort)
expected=$(printf '%s\n' "$folder/32-bit/pcb28.dll" "$folder/64-bit/pcb28.dll" \
  "$folder/LICENSE.txt" "$folder/README.txt" | sort)
[ "$listed" = "$expected" ] || fail "the archive holds:"$'\n'"$listed"$'\n'"expected:"$'\n'"$expected"
grep -q 'Export Velmar PCB 2.8 ASCII' "$stage/README.txt" || fail "README.txt lacks the format's name"
size=$(stat -c %s "$zip")
[ "$size" -lt "$limit" ] || fail "$zip is $size bytes, over 1 MiB"
echo "wrote $out/$folder-windows.zip ($size bytes):"
sed 's/^/   /' <<<"$listed"
