#!/usr/bin/env bash
# Small unattended runs of the program as built (with the Qt front end's module) against the same
# sources built without Qt (-DBRELMONT_WITH_QT=OFF): whole processes, paired, 20 pairs of an
# install and an uninstall on a 4 KiB Launch.local. A run that shows no window must start like a
# small tool whether or not the build can show one.
#   bench/compare-console-only.sh [build directory]      (default: build)
# The console-only build is made beside it, in <build directory>-console-only, with the same
# build type.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" 2>/dev/null && pwd) || {
  echo "No build directory ${1:-$here/build}: run scripts/setup.sh first." >&2
  exit 1
}
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
baseline=$build-console-only
cmake --build "$build" --target brelmont brelmont_bench >/dev/null
cmake -S "$here" -B "$baseline" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DBRELMONT_WITH_QT=OFF \
  -DBRELMONT_TESTS=OFF -DBRELMONT_BENCH=OFF >/dev/null
cmake --build "$baseline" --target brelmont >/dev/null
"$build/bench/brelmont_bench" --paired-unattended "$build/brelmont" "$baseline/brelmont"
