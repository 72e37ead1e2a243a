#!/usr/bin/env bash
# Makes the release archive (scripts/release.sh) together with its signed copy, signed with a
# throw-away self-signed certificate made on the spot, then checks the signed Brelmont.exe against
# that certificate, and that another certificate does not pass it; the signed archive must hold
# the unsigned one's other files unchanged.
#
#   scripts/check-signing.sh
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-packages.sh" openssl osslsigncode python3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
certificate() {
  openssl req -x509 -newkey rsa:3072 -sha256 -days 1 -nodes -subj "/CN=$2" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$scratch/$1.key" -out "$scratch/$1.pem" \
    2>/dev/null
}
certificate signer "Brelmont throw-away signer"
certificate stranger "Some other signer"
openssl pkcs12 -export -inkey "$scratch/signer.key" -in "$scratch/signer.pem" \
  -out "$scratch/signer.pfx" -passout pass:throw-away

BRELMONT_SIGN_PFX="$scratch/signer.pfx" BRELMONT_SIGN_PASSWORD=throw-away "$here/scripts/release.sh"

out=${RELEASE_DIR:-"$here/dist"}
unsigned=$(ls "$out"/Brelmont-*-win64.zip)
signed=${unsigned%.zip}-signed.zip
grep -q "  $(basename "$signed")\$" "$out/SHA256SUMS" ||
  { echo "check-signing: $(basename "$signed") is not in SHA256SUMS" >&2; exit 1; }
python3 - "$unsigned" "$signed" "$scratch/Brelmont.exe" <<'PY'
import sys, zipfile
unsigned, signed = zipfile.ZipFile(sys.argv[1]), zipfile.ZipFile(sys.argv[2])
if unsigned.namelist() != signed.namelist():
    sys.exit("check-signing: the archives hold different files")
for name in unsigned.namelist():
    same = unsigned.read(name) == signed.read(name)
    if name.endswith("/Brelmont.exe"):
        if same:
            sys.exit("check-signing: the signed archive's Brelmont.exe is the unsigned one")
        open(sys.argv[3], "wb").write(signed.read(name))
    elif not same:
        sys.exit("check-signing: " + name + " differs between the archives")
PY
osslsigncode verify -CAfile "$scratch/signer.pem" -in "$scratch/Brelmont.exe" >"$scratch/verify.log" 2>&1 ||
  { cat "$scratch/verify.log" >&2; echo "check-signing: the signature does not verify" >&2; exit 1; }
grep -q "Message digest algorithm  : SHA256" "$scratch/verify.log" ||
  { cat "$scratch/verify.log" >&2; echo "check-signing: not signed with SHA-256" >&2; exit 1; }
if osslsigncode verify -CAfile "$scratch/stranger.pem" -in "$scratch/Brelmont.exe" >/dev/null 2>&1; then
  echo "check-signing: another certificate passes the signature too" >&2
  exit 1
fi
echo "check-signing: $(basename "$signed") holds a Brelmont.exe signed (SHA-256) by the throw-away" \
  "certificate, and only that one passes it"
