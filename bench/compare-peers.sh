#!/usr/bin/env bash
# The same removal on the same 64 MiB Launch.local by Brelmont's console binary (the whole run:
# start-up, Kelvane search in a throw-away Wine prefix, Kelvane.conf, the edit and its flushed
# replace, the session log), by an awk program and by a Python 3 script that do the edit alike and
# replace the file flushed too. Checks that all three write the same bytes, then prints the wall
# times, the ratios and the peak memory.
#   bench/compare-peers.sh [build directory] [runs]      (defaults: build, 5)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" 2>/dev/null && pwd) || {
  echo "No build directory ${1:-$here/build}: run scripts/setup.sh first." >&2
  exit 1
}
runs=${2:-5}
python_path=/usr/bin/python3 # Debian's, whatever else is first on PATH
awk_path=$(command -v awk)
timer=/usr/bin/time
for tool in "$python_path" "$awk_path" "$timer"; do
  [ -x "$tool" ] || { echo "Missing $tool (Debian packages python3, mawk, time)." >&2; exit 1; }
done
cmake --build "$build" --target brelmont brelmont_bench >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/brelmont-peers-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin/logs" "$work/prefix/drive_c/Program Files/Kelvane" "$work/prefix/drive_c/KelvaneData"
cp "$build/brelmont" "$work/bin/brelmont"
printf '[Main]\r\nINSTANCE=1\r\nDATADIR=C:\\KelvaneData\r\n' \
  >"$work/prefix/drive_c/Program Files/Kelvane/Kelvane.conf"
"$build/bench/brelmont_bench" --write-launch "$work/original.local"
loader=$work/Sample.local
data=$work/prefix/drive_c/KelvaneData
launch=$data/Launch.local

run_brelmont=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "WINEPREFIX=$work/prefix"
  "$work/bin/brelmont" "uinstall,$loader")
# awk writes standard output only: the same replace discipline comes from sync and mv around it.
run_awk=(bash -c 'LC_ALL=C "$1" -v loader="$2" -f "$3" "$4" >"$4.peer" &&
  sync "$4.peer" && mv -f "$4.peer" "$4" && sync "$(dirname "$4")"' _
  "$awk_path" "$loader" "$here/bench/peers/remove-addon.awk" "$launch")
run_python=("$python_path" "$here/bench/peers/remove-addon.py" "$loader" "$launch")

calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A wall peak digest
tools=(brelmont awk python)
for tool in "${tools[@]}"; do
  declare -n command=run_$tool
  : >"$work/$tool.wall"
  : >"$work/$tool.peak"
  for ((i = 0; i < runs; i++)); do
    cp "$work/original.local" "$launch"
    sync "$launch" "$data"
    start=$EPOCHREALTIME
    "$timer" -f '%M' -o "$work/rusage" "${command[@]}" </dev/null >/dev/null
    end=$EPOCHREALTIME
    calc "$end - $start" >>"$work/$tool.wall"
    echo >>"$work/$tool.wall"
    tail -n 1 "$work/rusage" >>"$work/$tool.peak"
  done
  unset -n command
  digest[$tool]=$(sha256sum <"$launch" | cut -c1-16)
  wall[$tool]=$(median <"$work/$tool.wall")
  peak[$tool]=$(sort -g "$work/$tool.peak" | tail -n 1)
done

if [ "${digest[awk]}" != "${digest[brelmont]}" ] || [ "${digest[python]}" != "${digest[brelmont]}" ]; then
  echo "The tools wrote different files: ${digest[*]}" >&2
  exit 1
fi

size=$(stat -c %s "$work/original.local")
awk_version=$("$awk_path" -W version 2>&1 | head -n 1 || true)
python_version=$("$python_path" -c 'import platform; print(platform.python_version())')
echo "Removal of the add-on's block from a $(printf "%.1f" "$(calc "$size / 1048576")") MiB Launch.local ($size bytes), median of $runs runs;"
echo "all three wrote the same $(stat -c %s "$launch") bytes (sha256 ${digest[brelmont]}...), each replacing the file flushed to disk."
printf '%-34s %10s %10s %10s\n' "tool" "wall s" "x brelmont" "peak MiB"
declare -A names=([brelmont]="brelmont (console, whole run)" [awk]="awk (${awk_version%%,*})"
  [python]="python3 ($python_version)")
for tool in "${tools[@]}"; do
  printf '%-34s %10.3f %10.2f %10.1f\n' "${names[$tool]}" "${wall[$tool]}" \
    "$(calc "${wall[$tool]} / ${wall[brelmont]}")" "$(calc "${peak[$tool]} / 1024")"
done
faster=yes
for tool in awk python; do
  [ "$(calc "${wall[brelmont]} < ${wall[$tool]}")" = 1.000000 ] || faster=no
done
echo "Brelmont's whole run faster than both peers: $faster"
