#!/usr/bin/env bash
# Sets up, builds with warnings as errors, and runs every test.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-"$here/build"}

"$here/scripts/setup.sh" "$build" -DBRELMONT_WERROR=ON
# The tests never need a display: the GUI tests use Qt's offscreen platform, and the console
# tests must not pick the GUI.
env -u DISPLAY -u WAYLAND_DISPLAY ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
# Sanitizer build of the whole suite, then the fuzz targets for a bounded time each.
"$here/scripts/reliability.sh"
# The Windows program, cross-built with MinGW-w64 and tested under Wine on a virtual display.
"$here/scripts/windows.sh" --test
# The vendors' release archive, built twice from two clones: the same bytes both times.
"$here/scripts/release.sh" --check
