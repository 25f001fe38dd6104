#!/usr/bin/env bash
# Installs what the build needs (Debian packages) when it is missing, and
# the packages given as arguments.
set -euo pipefail

# kicad-demos: the real KiCad boards of the KiCad import's corpus test.
# libmimalloc-dev: the host program's allocator (large pages for big boards).
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev nlohmann-json3-dev libbenchmark-dev libsimdjson-dev
          libmimalloc-dev clang libclang-rt-14-dev help2man kicad-demos "$@")
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
