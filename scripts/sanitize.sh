#!/usr/bin/env bash
# Builds the program and every test with AddressSanitizer and UndefinedBehaviorSanitizer in a build
# folder of their own, then runs the whole test suite there; any report fails the test it is in.
#   scripts/sanitize.sh            (SANITIZE_BUILD_DIR, default build-asan; extra cmake arguments
#                                   after it, e.g. -DBRELMONT_WITH_QT=OFF)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${SANITIZE_BUILD_DIR:-"$here/build-asan"}

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELMONT_WERROR=ON \
  -DBRELMONT_SANITIZE=ON -DBRELMONT_BENCH=OFF "$@"
cmake --build "$build" -j 2

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
env -u DISPLAY -u WAYLAND_DISPLAY ctest --test-dir "$build" --output-on-failure -j 2
