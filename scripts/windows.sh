#!/usr/bin/env bash
# Cross-builds the Windows program, Brelmont.exe, with Debian's MinGW-w64 and, with --test, runs
# its tests under Wine: the core test suite, the Win32 services and main window, and end-to-end
# runs of Brelmont.exe driven through its windows on a virtual X display, all in a throw-away
# Wine prefix. Installs what it needs from Debian's packages; safe to run again.
#
#   scripts/windows.sh [--test] [--bundle] [extra cmake arguments...]
#
# With --test, CTEST_ARGS adds arguments to the final ctest call (e.g. CTEST_ARGS="-R installer").
# With --bundle, the Windows test bundle for machines that have only Windows is packed into
# dist/Brelmont-<version>-win64-tests.zip (scripts/make-test-bundle.sh); with both, the bundle is
# then run under Wine the way a Windows machine runs it (cmd /c run-tests.cmd), which also runs
# the shipped program's GUI runs and the installer runs, so ctest leaves those to it.
# The tests also drive the Brelmont.exe that vendors get: the one in BRELMONT_SHIPPED_ARCHIVE, or
# else in the release archive that scripts/release.sh makes first.
#
# The program lands in build-win/Brelmont.exe (BUILD_WIN_DIR overrides the folder), with the
# logs\ folder for its session log beside it.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_WIN_DIR:-"$here/build-win"}
run_tests=0
bundle=0
while [[ "${1:-}" == "--test" || "${1:-}" == "--bundle" ]]; do
  [[ "$1" == "--test" ]] && run_tests=1
  [[ "$1" == "--bundle" ]] && bundle=1
  shift
done

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools googletest)
if ((run_tests || bundle)); then
  # makensis and wixl build the example installers that the tests run.
  packages+=(nsis wixl)
fi
if ((run_tests)); then
  packages+=(wine wine64 xvfb xauth)
fi
"$here/scripts/install-packages.sh" "${packages[@]}"

shipped=()
if ((run_tests || bundle)); then
  archive=${BRELMONT_SHIPPED_ARCHIVE:-}
  if [[ -z "$archive" ]]; then
    "$here/scripts/release.sh"
    archive=$(ls "${RELEASE_DIR:-"$here/dist"}"/Brelmont-*-win64.zip)
  fi
  archive=$(cd "$(dirname "$archive")" && pwd)/$(basename "$archive")
  shipped=("-DBRELMONT_SHIPPED_ARCHIVE=$archive")
  echo "windows: the runs of the shipped program drive the Brelmont.exe in $archive"
fi

# Two jobs at most: the machines are shared.
jobs=$(($(nproc) < 2 ? $(nproc) : 2))
cmake -S "$here" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELMONT_WERROR=ON -DBRELMONT_WITH_QT=OFF "${shipped[@]}" "$@"
cmake --build "$build" -j "$jobs"
echo "windows: built $build/Brelmont.exe"
if ((bundle)); then
  "$here/scripts/make-test-bundle.sh" "$build" "$archive" "${RELEASE_DIR:-"$here/dist"}"
fi
((run_tests)) || exit 0

wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
scratch=$(mktemp -d)
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  if [[ -n "$xvfb_pid" ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# A display of its own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s "$scratch/display" ]] && break
  sleep 0.1
done
if [[ ! -s "$scratch/display" ]]; then
  echo "windows: Xvfb did not start:" >&2
  cat "$scratch/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$scratch/display")"

echo "windows: preparing the Wine prefix on display $DISPLAY"
timeout 300 "$wine64" wineboot -i
# Windows left unmanaged: without a window manager Wine would wait seconds for each window to go.
timeout 60 "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null


echo "windows: running the tests under Wine"
ctest_args=()
if ((bundle)); then
  # The bundle drives the shipped program and the installers below.
  ctest_args=(-E "gui_runs.shipped|installer_runs")
fi
# A failed test runs once more: Wine now and then fails to start a process at all ("Internal
# error"), as the bundle's runner allows for too. A failure that stays fails the run.
# shellcheck disable=SC2086 # CTEST_ARGS is a list of words.
timeout 1800 ctest --test-dir "$build" --output-on-failure --timeout 300 -j "$jobs" \
  --repeat until-pass:2 "${ctest_args[@]}" ${CTEST_ARGS:-}
((bundle)) || exit 0

echo "windows: running the test bundle under Wine as Windows would"
tests_zip="${RELEASE_DIR:-"$here/dist"}/$(basename "$archive" .zip)-tests.zip"
mkdir "$scratch/bundle"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
  "$tests_zip" "$scratch/bundle"
bundle_dir=$(ls -d "$scratch"/bundle/*-tests)
set +e
(cd "$bundle_dir" && timeout 2400 "$wine64" cmd /c run-tests.cmd) | tee "$scratch/bundle.log"
status=${PIPESTATUS[0]}
set -e
last=$(tr -d '\r' <"$scratch/bundle.log" | tail -n 1)
echo "windows: the bundle ended with status $status: $last"
if ((status != 0)) || [[ ! "$last" =~ ^[0-9]+\ passed,\ 0\ failed$ ]]; then
  exit 1
fi
