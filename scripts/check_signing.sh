#!/usr/bin/env bash
# The signatures of a signed build, checked as an administrator's tools would check them.
#   check_signing.sh certificate FOLDER
#     makes a throwaway certificate authority and a code-signing certificate issued by it into
#     FOLDER (once): ca.pem, signing.pfx and its password in password.txt.
#   check_signing.sh verify FOLDER BUILD PACKAGE
#     checks, against FOLDER's authority, every program and DLL inside PACKAGE (taken out with
#     msiextract and msiinfo) and PACKAGE itself; that a copy with one changed byte fails; and
#     that the -e2e programs of BUILD carry no signature.
set -euo pipefail

make_certificate() {
  local dir=$1
  [ -f "$dir/signing.pfx" ] && return 0
  # The keys and the password are for this user's eyes only, also while they are written.
  umask 077
  mkdir -p "$dir"
  local password
  password=$(openssl rand -hex 16)
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Halcyra Test Authority" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
    -keyout "$dir/ca.key" -out "$dir/ca.pem" 2>/dev/null
  openssl req -newkey rsa:2048 -nodes -subj "/CN=Halcyra Test Publisher" \
    -keyout "$dir/signing.key" -out "$dir/signing.csr" 2>/dev/null
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
    >"$dir/signing.ext"
  openssl x509 -req -days 3650 -in "$dir/signing.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
    -CAcreateserial -extfile "$dir/signing.ext" -out "$dir/signing.pem" 2>/dev/null
  printf '%s' "$password" >"$dir/password.txt"
  openssl pkcs12 -export -inkey "$dir/signing.key" -in "$dir/signing.pem" -certfile "$dir/ca.pem" \
    -passout "file:$dir/password.txt" -out "$dir/signing.pfx"
}

FAULTS=0
fault() {
  echo "FAULT: $*"
  FAULTS=$((FAULTS + 1))
}

verifies() { osslsigncode verify -CAfile "$CA" -in "$1" >"$WORK/verify.log" 2>&1; }

# A copy of the file with the byte in its middle changed: its signature no longer holds.
tampered_fails() {
  local file=$1 copy=$WORK/tampered
  cp "$file" "$copy"
  local middle=$(($(stat -c %s "$copy") / 2))
  local byte
  byte=$(od -An -tu1 -j "$middle" -N1 "$copy" | tr -d ' ')
  printf "$(printf '\\%03o' $(((byte + 1) % 256)))" | dd of="$copy" bs=1 seek="$middle" conv=notrunc 2>/dev/null
  ! verifies "$copy"
}

verify() {
  CA=$1/ca.pem
  local build=$2 package=$3
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
  msiextract -C "$WORK/files" "$package" >/dev/null
  msiinfo extract "$package" Binary.HalcyraSetup >"$WORK/HalcyraSetup.dll"
  local signed=("$package" "$WORK/HalcyraSetup.dll")
  for name in Halcyra.exe ShutdownService.exe HalcyraCmd.exe; do
    local found
    found=$(find "$WORK/files" -name "$name" -print -quit)
    if [ -z "$found" ]; then
      fault "$name is not in the package"
    else
      signed+=("$found")
    fi
  done
  for file in "${signed[@]}"; do
    if verifies "$file"; then
      echo "signed: $(basename "$file")"
    else
      fault "$(basename "$file") does not verify:"
      cat "$WORK/verify.log"
    fi
    tampered_fails "$file" || fault "$(basename "$file") still verifies with a byte changed"
  done
  for name in Halcyra-e2e.exe ShutdownService-e2e.exe HalcyraCmd-e2e.exe; do
    if [ ! -f "$build/$name" ]; then
      fault "$name was not built"
    elif osslsigncode extract-signature -in "$build/$name" -out "$WORK/e2e.sig" >/dev/null 2>&1; then
      fault "$name is signed"
    fi
  done
  echo "$FAULTS faults"
  [ "$FAULTS" -eq 0 ]
}

case ${1:-} in
  certificate) make_certificate "$2" ;;
  verify) verify "$2" "$3" "$4" ;;
  *)
    echo "usage: $0 certificate FOLDER | verify FOLDER BUILD PACKAGE" >&2
    exit 2
    ;;
esac
