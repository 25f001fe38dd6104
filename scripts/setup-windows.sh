#!/usr/bin/env bash
# Installs what the Windows builds need when it is missing: Debian's
# mingw-w64 cross compilers (the -posix ones) and Wine, 64-bit and 32-bit
# (the 32-bit loader comes from the i386 architecture); and the source of
# simdjson, which the Windows builds compile for the board-file reader.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo dpkg --add-architecture i386
fi
# dpkg-dev: dpkg-source, which unpacks and checks a Debian source package.
scripts/setup.sh g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 \
  binutils-mingw-w64-x86-64 wine wine64 wine32:i386 dpkg-dev

# simdjson: Debian's source package of bookworm, unpacked into a cache folder
# outside the repository (the CMake variable PCB28_SIMDJSON_SOURCE_DIR finds
# it there). apt fetches it through an index of its own in that folder, so the
# machine's apt sources are left as they are; apt checks every file against
# the signed index, and dpkg-source the unpacked package against its .dsc.
cache="${PCB28_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pcb28}"
simdjson_src="$cache/simdjson-src"
simdjson_suite=bookworm
if ! [ -f "$simdjson_src/src/simdjson.cpp" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  chmod 755 "$work"
  mkdir -p "$work/lists/partial" "$work/download"
  chmod 777 "$work/lists/partial" "$work/download"  # apt downloads as its own user
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
    "http://deb.debian.org/debian $simdjson_suite main" >"$work/sources.list"
  apt_options=(-o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=$work/none"
               -o "Dir::State::Lists=$work/lists")
  apt-get "${apt_options[@]}" update -qq
  (cd "$work/download" && apt-get "${apt_options[@]}" source -qq "simdjson/$simdjson_suite" >/dev/null)
  unpacked=("$work"/download/simdjson-*/)
  if ! [ -f "${unpacked[0]}src/simdjson.cpp" ]; then
    echo "setup: Debian's simdjson source from $simdjson_suite did not unpack as expected" >&2
    exit 1
  fi
  mkdir -p "$cache"
  rm -rf "$simdjson_src"
  mv "${unpacked[0]}" "$simdjson_src"
  echo "setup: simdjson source ($(basename "$work"/download/simdjson_*.dsc .dsc)) in $simdjson_src"
fi
