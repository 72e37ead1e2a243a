#!/usr/bin/env bash
# Sets up and builds Brelmont, then installs a sample add-on into a throw-away Kelvane: a
# Wine-style tree under the build folder with Kelvane in one of its install locations, a
# Kelvane.conf naming its data directory, and a Launch.local that already holds two add-ons.
# With a display the desktop window runs; without one, the console front end.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-"$here/build"}
"$here/scripts/setup.sh" "$build"

demo="$build/demo"
rm -rf "$demo"
prefix="$demo/wine"
program="$prefix/drive_c/Program Files/Kelvane"
data="$prefix/drive_c/ProgramData/Kelvane"
mkdir -p "$program" "$data"
printf '[Paths]\r\nDATADIR=C:\\ProgramData\\Kelvane\r\nINSTANCE=1\r\n' >"$program/Kelvane.conf"
printf '[Weather-2.1]\r\nrun=C:\\Addons\\Weather\\weather.exe\r\n/ [EOA]\r\n[Logbook-1.0]\r\nrun=C:\\Addons\\Logbook\\logbook.exe --quiet\r\n/ [EOA]\r\n' \
  >"$data/Launch.local"
printf '[Sample-1.2]\r\nrun=C:\\Addons\\Sample\\sample.exe\r\nstart=minimised\r\n/ [EOA]\r\n' \
  >"$demo/Sample.local"

echo "== Running: brelmont install,$demo/Sample.local"
status=0
WINEPREFIX="$prefix" "$build/brelmont" "install,$demo/Sample.local" || status=$?
echo "== Exit status: $status"
echo "== Launch.local now holds:"
tr -d '\r' <"$data/Launch.local"
echo "== Session log ($build/logs/Brelmont.log), last lines:"
tail -n 12 "$build/logs/Brelmont.log" | tr -d '\r'
exit "$status"
