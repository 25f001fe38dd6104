#!/usr/bin/env bash
# Installs what the Windows builds need when it is missing: Debian's
# mingw-w64 cross compilers (the -posix ones) and Wine, 64-bit and 32-bit
# (the 32-bit loader comes from the i386 architecture).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo dpkg --add-architecture i386
fi
scripts/setup.sh g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 \
  binutils-mingw-w64-x86-64 wine wine64 wine32:i386
