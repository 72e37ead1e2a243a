#!/usr/bin/env bash
# Makes the vendors' release archive from this commit: dist/Brelmont-<version>-win64.zip holding
# the stripped Brelmont.exe, an empty logs\ folder and README.txt, the debug information beside it
# in dist/Brelmont-<version>-win64.debug, and dist/SHA256SUMS. The build is reproducible: time
# stamps come from the commit, paths are mapped away, and the archive's entries are sorted with
# fixed times and modes, so two runs from the same commit give the same bytes.
#
#   scripts/release.sh            make dist/
#   scripts/release.sh --check    make it twice from two clones of this commit and compare
#
# RELEASE_DIR (default dist) and RELEASE_BUILD_DIR (default build-release) can be set.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)

if [[ "${1:-}" == "--check" ]]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  # Two checkouts of this commit in folders of different names and depths.
  for run in first second/deeper; do
    git clone -q "$here" "$scratch/$run/src"
    RELEASE_DIR="$scratch/$run/dist" RELEASE_BUILD_DIR="$scratch/$run/build" \
      "$scratch/$run/src/scripts/release.sh" >"$scratch/${run%%/*}.log" 2>&1 ||
      { cat "$scratch/${run%%/*}.log" >&2; exit 1; }
  done
  if ! diff "$scratch/first/dist/SHA256SUMS" "$scratch/second/deeper/dist/SHA256SUMS"; then
    echo "release: two builds of this commit differ" >&2
    exit 1
  fi
  echo "release: two builds in different folders are byte for byte the same:"
  cat "$scratch/first/dist/SHA256SUMS"
  grep '^release: .* bytes' "$scratch/first.log"
  exit 0
fi

out=${RELEASE_DIR:-"$here/dist"}
build=${RELEASE_BUILD_DIR:-"$here/build-release"}
"$here/scripts/install-packages.sh" cmake ninja-build g++-mingw-w64-x86-64-posix \
  binutils-mingw-w64-x86-64 python3 git

version=$(sed -n 's/^project(Brelmont VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
# Every time stamp is the commit's; without git, the epoch's start.
SOURCE_DATE_EPOCH=$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo 315532800)
export SOURCE_DATE_EPOCH

# The folders' names must not reach the program: the sources are ".", the build folder "build".
mkdir -p "$build"
build=$(cd "$build" && pwd)
maps="-ffile-prefix-map=$here=. -ffile-prefix-map=$build=build"
cmake -S "$here" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRELMONT_WITH_QT=OFF -DBRELMONT_TESTS=OFF -DBRELMONT_WERROR=ON \
  -DCMAKE_CXX_FLAGS="$maps" -DCMAKE_C_FLAGS="$maps" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,--no-insert-timestamp" >/dev/null
cmake --build "$build" --target brelmont -j 2

name="Brelmont-$version-win64"
stage="$build/stage/Brelmont"
rm -rf "$build/stage" "$out"
mkdir -p "$stage/logs" "$out"
objcopy=x86_64-w64-mingw32-objcopy
# The debug information beside the archive, linked from the program by name and checksum.
"$objcopy" --only-keep-debug "$build/Brelmont.exe" "$out/$name.debug"
"$objcopy" --strip-debug --strip-unneeded "$build/Brelmont.exe" "$stage/Brelmont.exe"
(cd "$out" && "$objcopy" --add-gnu-debuglink="$name.debug" "$stage/Brelmont.exe")
sed "s/@VERSION@/$version/" "$here/programs/windows/release/README.txt" |
  sed 's/$/\r/' >"$stage/README.txt"
if [[ -f "$here/LICENSE" ]]; then
  sed 's/$/\r/' "$here/LICENSE" >"$stage/LICENSE.txt"
fi

size=$(stat -c %s "$stage/Brelmont.exe")
if ((size >= 1048576)); then
  echo "release: Brelmont.exe is $size bytes, over 1 MiB" >&2
  exit 1
fi

python3 - "$build/stage" "$out/$name.zip" "$SOURCE_DATE_EPOCH" <<'PY'
import os, sys, time, zipfile
root, archive, epoch = sys.argv[1], sys.argv[2], max(int(sys.argv[3]), 315532800)
stamp = time.gmtime(epoch)[:6]
entries = []
for folder, dirs, files in os.walk(root):
    for name in dirs + files:
        path = os.path.join(folder, name)
        entries.append((os.path.relpath(path, root).replace(os.sep, "/"), path))
with zipfile.ZipFile(archive, "w") as zip:
    for name, path in sorted(entries):
        if os.path.isdir(path):
            info = zipfile.ZipInfo(name + "/", stamp)
            info.external_attr = (0o40755 << 16) | 0x10
            zip.writestr(info, b"")
        else:
            info = zipfile.ZipInfo(name, stamp)
            info.external_attr = 0o100644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                zip.writestr(info, source.read(), compresslevel=9)
PY

(cd "$out" && sha256sum "$name.zip" "$name.debug" >SHA256SUMS)
echo "release: $out/$name.zip (Brelmont.exe $size bytes), debug information in $name.debug"
cat "$out/SHA256SUMS"
