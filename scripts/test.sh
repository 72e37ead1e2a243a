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
# The vendors' release archive, and its copy signed with a throw-away certificate and checked.
"$here/scripts/check-signing.sh"
# The Windows program, cross-built with MinGW-w64 and tested under Wine on a virtual display;
# then the Windows test bundle, run under Wine as a Windows machine runs it: the installers and
# the runs of the shipped program use the Brelmont.exe of that archive.
shipped=$(ls "$here"/dist/Brelmont-*-win64.zip)
BRELMONT_SHIPPED_ARCHIVE="$shipped" "$here/scripts/windows.sh" --test --bundle
# The archive tested is byte for byte what this commit builds in another folder.
"$here/scripts/release.sh" --check
