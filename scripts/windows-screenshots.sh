#!/usr/bin/env bash
# Takes the Win32 front end's screenshots for docs/screenshots/ (files win32-*.png): the integrate
# prompt, the path choice dialog and the main window, at 100 % and at 150 % (LogPixels 144 in the
# prefix's registry, files ending in -150). Brelmont.exe runs under Wine on a virtual X display in
# a throw-away prefix, driven by xdotool.
#
#   scripts/windows-screenshots.sh [path/to/Brelmont.exe]    (default: build-win/Brelmont.exe)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$here/build-win/Brelmont.exe}")
shots="$here/docs/screenshots"
if [[ ! -f "$program" ]]; then
  echo "windows-screenshots: no program at $program; run scripts/windows.sh first" >&2
  exit 1
fi
"$here/scripts/install-packages.sh" wine wine64 xvfb xauth xdotool imagemagick

if [[ -z "${BRELMONT_SHOTS_DISPLAY:-}" ]]; then
  BRELMONT_SHOTS_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x900x24" "$0" "$program"
fi

wine64=/usr/lib/wine/wine64
scratch=$(mktemp -d)
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
timeout 300 "$wine64" wineboot -i
timeout 60 "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null

drive="$WINEPREFIX/drive_c"
# A loader path far wider than the status window, as vendors' install folders often are: the
# shots show how the window breaks it.
loader_dir='Addons/VeryLongVendorName_Professional_Edition_2024/SubFolderWithAnotherRatherLongName'
loader_name='Sample_Addon_Loader_File_With_Long_Name.local'
loader="C:\\${loader_dir//\//\\}\\$loader_name"
mkdir -p "$drive/Brelmont/logs" "$drive/ProgramData/Kelvane" "$drive/$loader_dir"
cp "$program" "$drive/Brelmont/Brelmont.exe"
for install in "Program Files" "Program Files (x86)"; do
  mkdir -p "$drive/$install/Kelvane"
  printf 'DATADIR=C:\\ProgramData\\Kelvane\r\n' >"$drive/$install/Kelvane/Kelvane.conf"
done
printf '[Sample-1.2]\r\nfirst setting line for Kelvane\r\n/ [EOA]\r\n' \
  >"$drive/$loader_dir/$loader_name"

window() {
  local id
  id=$(timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1)
  sleep 1
  echo "$id"
}

shoot() {
  import -window "$1" "$shots/$2"
  echo "windows-screenshots: $shots/$2"
}

mkdir -p "$shots"
run_at() {
  local dpi=$1 suffix=$2
  timeout 60 "$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" \
    /f >/dev/null
  printf '[Other-3.0]\r\nsetting line of another add-on\r\n/ [EOA]\r\n' \
    >"$drive/ProgramData/Kelvane/Launch.local"
  "$wine64" 'C:\Brelmont\Brelmont.exe' "install,$loader" &
  local run=$!

  local prompt dialog main
  prompt=$(window '^Integrate with Kelvane$')
  shoot "$prompt" "win32-integrate-prompt$suffix.png"
  xdotool windowfocus --sync "$prompt" key Return

  dialog=$(window '^Select Kelvane Program Path$')
  # Down selects the first row, which has the focus; Down again the second.
  xdotool windowfocus --sync "$dialog" key Down key Down
  sleep 0.5
  shoot "$dialog" "win32-path-choice$suffix.png"
  # Tab to Cancel, Tab to OK, and Enter presses the focused OK.
  xdotool key Tab key Tab key Return

  main=$(window '^Brelmont v')
  sleep 2.5
  shoot "$main" "win32-main-window$suffix.png"
  wait "$run" || true
}

run_at 96 ""
run_at 144 "-150"
