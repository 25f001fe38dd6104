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

# The KiCad import's corpus test reads the demo boards of KiCad 6 (bookworm's
# kicad-demos) and of KiCad 9 (bookworm-backports'). The two packages have one
# name, so neither is installed: each is downloaded and unpacked into a cache
# folder outside the repository, kicad-demos-<major version>.
cache="${PCB28_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pcb28}"
fetch_demos() {
  local suite=$1 major=$2 folder="$cache/kicad-demos-$2"
  [ -d "$folder/usr/share/kicad/demos" ] && return 0
  local work
  work=$(mktemp -d)
  chmod 777 "$work"  # apt downloads as its own user
  (cd "$work" && apt-get download -qq "kicad-demos/$suite")
  local deb=("$work"/kicad-demos_*.deb)
  local version
  version=$(dpkg-deb -f "${deb[0]}" Version)
  if [ "${version%%.*}" != "$major" ]; then
    echo "setup: kicad-demos from $suite is version $version, expected $major.x" >&2
    return 1
  fi
  mkdir -p "$cache"
  dpkg-deb -x "${deb[0]}" "$work/root"
  rm -rf "$folder"
  mv "$work/root" "$folder"
  rm -rf "$work"
  echo "setup: KiCad $major demo boards ($version) in $folder"
}
if ! [ -d "$cache/kicad-demos-6/usr/share/kicad/demos" ] ||
  ! [ -d "$cache/kicad-demos-9/usr/share/kicad/demos" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if ! apt-cache policy 2>/dev/null | grep -q "bookworm-backports"; then
    $sudo tee /etc/apt/sources.list.d/pcb28-bookworm-backports.sources >/dev/null <<'SOURCES'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    $sudo apt-get update -qq
  fi
  fetch_demos bookworm 6
  fetch_demos bookworm-backports 9
fi
