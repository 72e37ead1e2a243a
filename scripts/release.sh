#!/usr/bin/env bash
# Makes the vendors' release archive from this commit: dist/Brelmont-<version>-win64.zip holding
# the stripped Brelmont.exe, an empty logs\ folder, README.txt, LICENSE.txt and
# THIRD-PARTY-NOTICES.txt; the debug information beside it in dist/Brelmont-<version>-win64.debug,
# and dist/SHA256SUMS. The build is reproducible: time stamps come from the commit, paths are
# mapped away, and the archive's entries are sorted with fixed times and modes, so two runs from
# the same commit give the same bytes. The program must import no DLL but Windows' own
# (scripts/check-imports.sh): the archive promises one file.
#
#   scripts/release.sh            make dist/
#   scripts/release.sh --check    make dist/ unless there, then build this commit again from a
#                                 clone in another folder and compare: the bytes tested are the
#                                 bytes anyone gets from the commit
#
# Signing: with BRELMONT_SIGN_PFX (a PKCS#12 file) and BRELMONT_SIGN_PASSWORD (may be empty) set,
# dist/Brelmont-<version>-win64-signed.zip is the same archive with an Authenticode (SHA-256)
# signed Brelmont.exe, made with osslsigncode; BRELMONT_SIGN_TIMESTAMP_URL asks that RFC 3161
# time-stamp server for a time stamp. The unsigned archive stays as it was, reproducible.
#
# RELEASE_DIR (default dist) and RELEASE_BUILD_DIR (default build-release) can be set.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
out=${RELEASE_DIR:-"$here/dist"}
version=$(sed -n 's/^project(Brelmont VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
name="Brelmont-$version-win64"

# The unsigned archive's and the debug information's lines of a SHA256SUMS file.
unsigned_sums() {
  grep -E "  ($name\\.zip|$name\\.debug)\$" "$1"
}

if [[ "${1:-}" == "--check" ]]; then
  if [[ ! -f "$out/SHA256SUMS" ]]; then
    "$here/scripts/release.sh"
  fi
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  # A checkout of this commit in a folder of another name and depth.
  git clone -q "$here" "$scratch/second/deeper/src"
  RELEASE_DIR="$scratch/second/deeper/dist" RELEASE_BUILD_DIR="$scratch/second/deeper/build" \
    BRELMONT_SIGN_PFX="" "$scratch/second/deeper/src/scripts/release.sh" >"$scratch/second.log" 2>&1 ||
    { cat "$scratch/second.log" >&2; exit 1; }
  if ! diff <(unsigned_sums "$out/SHA256SUMS") \
    <(unsigned_sums "$scratch/second/deeper/dist/SHA256SUMS"); then
    echo "release: $out and a build of this commit in another folder differ" \
      "(uncommitted changes, or the build is not reproducible)" >&2
    exit 1
  fi
  echo "release: $out is byte for byte what this commit builds in another folder:"
  unsigned_sums "$out/SHA256SUMS"
  grep '^release: .* bytes' "$scratch/second.log"
  exit 0
fi

build=${RELEASE_BUILD_DIR:-"$here/build-release"}
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 python3 git)
signing=0
if [[ -n "${BRELMONT_SIGN_PFX:-}" ]]; then
  signing=1
  packages+=(osslsigncode)
fi
"$here/scripts/install-packages.sh" "${packages[@]}"

# Every time stamp is the commit's; without git, the epoch's start.
SOURCE_DATE_EPOCH=$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo 315532800)
export SOURCE_DATE_EPOCH

# The folders' names must not reach the program: the sources are ".", the build folder "build".
mkdir -p "$build"
build=$(cd "$build" && pwd)
maps="-ffile-prefix-map=$here=. -ffile-prefix-map=$build=build"
# LDFLAGS adds to the project's own link options (static linking among them); the linker's time
# stamp would make every build differ.
LDFLAGS="${LDFLAGS:+$LDFLAGS }-Wl,--no-insert-timestamp" cmake -S "$here" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRELMONT_WITH_QT=OFF -DBRELMONT_TESTS=OFF -DBRELMONT_WERROR=ON \
  -DCMAKE_CXX_FLAGS="$maps" -DCMAKE_C_FLAGS="$maps" >/dev/null
cmake --build "$build" --target brelmont -j 2

stage="$build/stage/Brelmont"
rm -rf "$build/stage" "$build/stage-signed" "$out"
mkdir -p "$stage/logs" "$out"
objcopy=x86_64-w64-mingw32-objcopy
# The debug information beside the archive, linked from the program by name and checksum.
"$objcopy" --only-keep-debug "$build/Brelmont.exe" "$out/$name.debug"
"$objcopy" --strip-debug --strip-unneeded "$build/Brelmont.exe" "$stage/Brelmont.exe"
(cd "$out" && "$objcopy" --add-gnu-debuglink="$name.debug" "$stage/Brelmont.exe")
"$here/scripts/check-imports.sh" "$stage/Brelmont.exe"
# Windows reads DependentLoadFlags from the load configuration directory, which Debian's
# binutils 2.40 leaves empty even where the program defines one. Without it, the imports above
# being all known DLLs and the program restricting the search first thing cover what it would.
headers=$(x86_64-w64-mingw32-objdump -p "$stage/Brelmont.exe")
if grep -Eq '^Entry a 0+ 0+ Load Configuration Directory' <<<"$headers"; then
  echo "release: no load configuration directory (this linker cannot make one)"
fi

sed "s/@VERSION@/$version/" "$here/programs/windows/release/README.txt" |
  sed 's/$/\r/' >"$stage/README.txt"
sed 's/$/\r/' "$here/LICENSE" >"$stage/LICENSE.txt"
sed 's/$/\r/' "$here/THIRD-PARTY-NOTICES.txt" >"$stage/THIRD-PARTY-NOTICES.txt"

size=$(stat -c %s "$stage/Brelmont.exe")
if ((size >= 1048576)); then
  echo "release: Brelmont.exe is $size bytes, over 1 MiB" >&2
  exit 1
fi

# A folder into an archive: entries sorted, with the commit's time and fixed modes.
zip_folder() {
  python3 - "$1" "$2" "$SOURCE_DATE_EPOCH" <<'PY'
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
}

zip_folder "$build/stage" "$out/$name.zip"
listed=("$name.zip" "$name.debug")

if ((signing)); then
  signed="$build/stage-signed/Brelmont"
  mkdir -p "$build/stage-signed"
  cp -a "$stage" "$signed"
  rm "$signed/Brelmont.exe"
  sign=(osslsigncode sign -pkcs12 "$BRELMONT_SIGN_PFX" -h sha256 -n "Brelmont $version")
  # The password through a file of our own, never on a command line others can read.
  secret=""
  if [[ -n "${BRELMONT_SIGN_PASSWORD:-}" ]]; then
    secret=$(mktemp)
    trap 'rm -f "$secret"' EXIT
    printf '%s' "$BRELMONT_SIGN_PASSWORD" >"$secret"
    sign+=(-readpass "$secret")
  else
    sign+=(-pass "")
  fi
  if [[ -n "${BRELMONT_SIGN_TIMESTAMP_URL:-}" ]]; then
    sign+=(-ts "$BRELMONT_SIGN_TIMESTAMP_URL")
  fi
  "${sign[@]}" -in "$stage/Brelmont.exe" -out "$signed/Brelmont.exe" >/dev/null
  [[ -z "$secret" ]] || rm -f "$secret"
  zip_folder "$build/stage-signed" "$out/$name-signed.zip"
  listed+=("$name-signed.zip")
  echo "release: signed copy in $out/$name-signed.zip"
fi

(cd "$out" && sha256sum "${listed[@]}" >SHA256SUMS)
echo "release: $out/$name.zip (Brelmont.exe $size bytes), debug information in $name.debug"
cat "$out/SHA256SUMS"
