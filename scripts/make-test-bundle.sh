#!/usr/bin/env bash
# Packs the Windows test bundle: the Brelmont.exe of the release archive, every Windows test
# program of a cross build made with that archive (scripts/windows.sh), the example installers
# built around that exe, and run-tests.cmd with its runner. Nothing in it needs MinGW, Wine or a
# network on the Windows side.
#
#   scripts/make-test-bundle.sh <build-win folder> <release archive> <output folder>
#
# Makes <output folder>/Brelmont-<version>-win64-tests.zip, whose folder of the same name holds:
#   run-tests.cmd, brelmont_test_runner.exe, tests.txt   the runner and what it runs
#   Brelmont.exe, logs\                                  the shipped program, driven by the GUI runs
#   brelmont_gui_runs.exe, planted.dll                   its end-to-end runs through its windows
#   installers\                                          the example installers and their runs
#   unit\                                                the core, services and window tests
set -euo pipefail

build=$(cd "$1" && pwd)
archive=$2
out=$3
base=$(basename "$archive" .zip)
name="$base-tests"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
stage="$scratch/$name"
mkdir -p "$stage/logs" "$stage/installers" "$stage/unit"

# The program exactly as vendors get it.
python3 - "$archive" "$stage/Brelmont.exe" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive, open(sys.argv[2], "wb") as out:
    out.write(archive.read("Brelmont/Brelmont.exe"))
PY

need() {
  for file in "$@"; do
    if [[ ! -f "$file" ]]; then
      echo "make-test-bundle: $file is missing; build with scripts/windows.sh first" >&2
      exit 1
    fi
  done
}

units=(tests/support/support_test.exe tests/launchfile/launchfile_test.exe
  tests/discovery/brelmont_discovery_tests.exe tests/app/brelmont_app_tests.exe
  tests/ui/common/ui_common_test.exe tests/hosts/common/host_common_test.exe
  tests/win32/win32_text_test.exe tests/hosts/win32/win32_services_test.exe
  tests/ui/win32/win32_ui_test.exe)
installers=(tests/installers/brelmont_installer_runs.exe tests/installers/SampleSetup.exe
  tests/installers/Sample.msi tests/installers/Sample-1.3.msi)
root=(brelmont_gui_runs.exe planted.dll tests/bundle/brelmont_test_runner.exe
  tests/bundle/bundle_runner_test.exe tests/bundle/bundle_probe.exe tests/bundle/run-tests.cmd)
need "${units[@]/#/$build/}" "${installers[@]/#/$build/}" "${root[@]/#/$build/}"
for file in "${units[@]}"; do cp "$build/$file" "$stage/unit/"; done
for file in "${installers[@]}"; do cp "$build/$file" "$stage/installers/"; done
for file in "${root[@]}"; do cp "$build/$file" "$stage/"; done
# The test programs without their debug information: a tenth of the size. The shipped program
# stays byte for byte as it is.
find "$stage" -name '*.exe' ! -path "$stage/Brelmont.exe" ! -name 'Sample*' \
  -exec x86_64-w64-mingw32-strip --strip-debug {} +
find "$stage" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-debug {} +

# name|program|time bound in seconds|variables: run one after another, since the GUI and installer
# runs share the Program Files folders and the screen.
{
  printf '# name|program|seconds|VARIABLE=value...\r\n'
  for file in "${units[@]}"; do
    program=$(basename "$file")
    printf '%s|unit\\%s|300\r\n' "${program%.exe}" "$program"
  done
  printf 'bundle_runner|bundle_runner_test.exe|120\r\n'
  printf 'gui_runs|brelmont_gui_runs.exe|900\r\n'
  printf 'installer_runs|installers\\brelmont_installer_runs.exe|1200\r\n'
} >"$stage/tests.txt"

mkdir -p "$out"
python3 - "$scratch" "$name" "$out/$name.zip" <<'PY'
import os, sys, zipfile
top, name, target = sys.argv[1], sys.argv[2], sys.argv[3]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as bundle:
    for folder, folders, files in os.walk(os.path.join(top, name)):
        folders.sort()
        relative = os.path.relpath(folder, top)
        bundle.write(folder, relative + "/")
        for file in sorted(files):
            bundle.write(os.path.join(folder, file), os.path.join(relative, file))
PY
echo "make-test-bundle: $out/$name.zip"
