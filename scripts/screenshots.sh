#!/usr/bin/env bash
# Takes the Qt front end's screenshots for docs/screenshots/: the integrate prompt, the path choice
# dialog with two Kelvane installs, and the main window during a run, at 100 % and at 150 %
# (QT_SCALE_FACTOR, files ending in -150). The built program runs on a virtual X display against a
# throw-away Wine prefix, driven by xdotool.
#
#   scripts/screenshots.sh [path/to/brelmont]      (default: build/brelmont)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$here/build/brelmont}")
shots="$here/docs/screenshots"

if [[ ! -x "$binary" ]]; then
  echo "screenshots: no program at $binary; build it first" >&2
  exit 1
fi

# The tools, from Debian, only when missing.
missing=()
command -v xvfb-run >/dev/null || missing+=(xvfb xauth)
command -v xdotool >/dev/null || missing+=(xdotool)
command -v import >/dev/null || missing+=(imagemagick)
if ((${#missing[@]} > 0)); then
  echo "screenshots: installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Everything below needs the display; xvfb-run starts it and runs this script once more inside.
if [[ -z "${BRELMONT_SHOTS_DISPLAY:-}" ]]; then
  BRELMONT_SHOTS_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x900x24 -dpi 96" "$0" "$binary"
fi

demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
prefix="$demo/wine"
data="$prefix/drive_c/ProgramData/Kelvane"
mkdir -p "$data"
for install in "Program Files" "Program Files (x86)"; do
  mkdir -p "$prefix/drive_c/$install/Kelvane"
  printf 'DATADIR=C:\\ProgramData\\Kelvane\r\n' >"$prefix/drive_c/$install/Kelvane/Kelvane.conf"
done
printf '[Other-3.0]\r\nsetting line of another add-on\r\n/ [EOA]\r\n' >"$data/Launch.local"
# A loader path far wider than the status window, as vendors' install folders often are: the
# shots show how the window breaks it.
loader_dir='Addons/VeryLongVendorName_Professional_Edition_2024/SubFolderWithAnotherRatherLongName'
loader_name='Sample_Addon_Loader_File_With_Long_Name.local'
loader="C:\\${loader_dir//\//\\}\\$loader_name"
mkdir -p "$prefix/drive_c/$loader_dir"
printf '[Sample-1.2]\r\nfirst setting line for Kelvane\r\n/ [EOA]\r\n' \
  >"$prefix/drive_c/$loader_dir/$loader_name"

# The id of the first window whose title matches, once it is there and painted.
window() {
  local id
  id=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1)
  sleep 0.7
  echo "$id"
}

shoot() {
  import -window "$1" "$shots/$2"
  echo "screenshots: $shots/$2"
}

mkdir -p "$shots"
# One run at a scale: $1 the factor, $2 the suffix of the file names.
run_at() {
  local scale=$1 suffix=$2
  printf '[Other-3.0]\r\nsetting line of another add-on\r\n/ [EOA]\r\n' >"$data/Launch.local"
  QT_SCALE_FACTOR="$scale" WINEPREFIX="$prefix" "$binary" "install,$loader" &
  program=$!

  prompt=$(window '^Integrate with Kelvane$')
  shoot "$prompt" "integrate-prompt$suffix.png"
  # Yes is the box's default button.
  xdotool windowfocus --sync "$prompt" key Return

  dialog=$(window '^Select Kelvane Program Path$')
  # The second entry of the list (LV at 8,48; one row is about 18 pixels high), at the scale.
  xdotool mousemove --window "$dialog" "$(awk "BEGIN{print int(60*$scale)}")" \
    "$(awk "BEGIN{print int(76*$scale)}")" click 1
  sleep 0.3
  shoot "$dialog" "path-choice$suffix.png"
  xdotool click --repeat 2 --delay 80 1

  main=$(window '^Brelmont v')
  # The outcome stands on screen for three seconds after the three half-second pauses.
  sleep 2.5
  shoot "$main" "main-window$suffix.png"
  status=0
  wait "$program" || status=$?
}

run_at 1 ""
run_at 1.5 "-150"

echo "screenshots: the last run ended with exit status $status; Launch.local now holds:"
tr -d '\r' <"$data/Launch.local"
exit "$status"
