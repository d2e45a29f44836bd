#!/usr/bin/env bash
# Installs every Debian package that building, running, testing, fuzzing, benchmarking and packaging
# Corvane need. Safe to run again: when everything is present it returns without touching apt.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libvulkan-dev
  # tests: real peers and a display-less platform
  python3 attr openssl xvfb xauth x11-apps imagemagick fonts-dejavu-core
  # tests: a private session bus, and windows listed and typed into as a user would
  dbus-daemon x11-utils xdotool
  # sanitizers and fuzzing
  clang-14 libfuzzer-14-dev libclang-rt-14-dev
  # benchmarks, with libplist and getfattr as the comparisons, strace to count system calls
  libbenchmark-dev libplist-dev strace
  # packaging: icon rendering, the .deb, and the validators of what it installs
  dpkg-dev file binutils desktop-file-utils appstream librsvg2-bin libxml2-utils man-db gzip
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
