#!/usr/bin/env bash
# Installs what the Windows builds need when it is missing: Debian's
# mingw-w64 cross compilers (the -posix ones) and Wine, 64-bit and 32-bit
# (the 32-bit loader comes from the i386 architecture).
set -euo pipefail

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
          binutils-mingw-w64-x86-64 wine wine64 wine32:i386)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
