#!/usr/bin/env bash
# Installs what the build needs from Debian's packages, then configures and builds Brelmont.
# Safe to run again: apt-get only installs what is missing.
#   scripts/setup.sh [build-dir] [extra cmake arguments...]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
shift || true

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev time python3 python3-yaml
  qt6-base-dev qt6-qpa-plugins fonts-crosextra-carlito fonts-liberation
  xvfb xauth x11-apps imagemagick
  clang-14 libclang-rt-14-dev llvm-14
)

"$here/scripts/install-packages.sh" "${packages[@]}"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j "$(nproc)"
