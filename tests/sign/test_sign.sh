#!/usr/bin/env bash
# The signed release, end to end, on a copy of this checkout: a throwaway
# certificate authority and code-signing certificate, then the release
# workflow without a key (today's unsigned zip) and twice with the key, each
# from a clean build folder. The signed program must verify against that
# authority, pass the static checks, come out byte-identical twice, and stop
# verifying when one byte changes.
#
# Usage: tests/sign/test_sign.sh [KEY_DIR]
# With KEY_DIR, only makes the key there (ca.pem, sign.p12, password).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

make_key() {  # make_key DIR
  local dir=$1
  mkdir -p "$dir"
  cd "$dir"
  printf 'throwaway' >password
  # The certificates' validity starts well before the last commit, whose time
  # the signature carries.
  cat >ca.cnf <<'EOF'
[ca]
default_ca = ca
[ca]
database = index.txt
new_certs_dir = .
serial = serial
default_md = sha256
policy = any
copy_extensions = none
[any]
commonName = supplied
[signing]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
[root]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
EOF
  : >index.txt
  echo 01 >serial
  openssl req -new -newkey rsa:2048 -nodes -keyout ca.key -subj "/CN=Velmorant test CA" \
    -out ca.csr 2>/dev/null
  openssl ca -batch -config ca.cnf -selfsign -keyfile ca.key -in ca.csr -out ca.pem \
    -extensions root -startdate 20000101000000Z -enddate 20991231000000Z 2>/dev/null
  openssl req -new -newkey rsa:2048 -nodes -keyout sign.key -subj "/CN=Velmorant test publisher" \
    -out sign.csr 2>/dev/null
  openssl ca -batch -config ca.cnf -cert ca.pem -keyfile ca.key -in sign.csr -out sign.pem \
    -extensions signing -startdate 20000101000000Z -enddate 20991231000000Z 2>/dev/null
  openssl pkcs12 -export -inkey sign.key -in sign.pem -certfile ca.pem -passout file:password \
    -out sign.p12
  cd - >/dev/null
}

if [ $# -eq 1 ]; then
  make_key "$1"
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_key "$work/key"

# A copy of the checkout (its history too: the signing time is the last
# commit's), without build folders.
mkdir "$work/src"
(cd "$root" && tar --exclude=./build -cf - .) | tar -xf - -C "$work/src"

passed=0
failed=0
check() {  # check WHAT COMMAND...
  local what=$1
  shift
  if "$@" >"$work/out" 2>&1; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
    tail -n 20 "$work/out"
  fi
}

release() {  # release NAME [signed]: the workflow from a clean build folder
  rm -rf "$work/src/build"
  if [ "${2:-}" = signed ]; then
    (cd "$work/src" && VELMORANT_SIGN_PKCS12="$work/key/sign.p12" \
      VELMORANT_SIGN_PASSWORD=throwaway cmake --workflow --preset release) >"$work/$1.log" 2>&1
  else
    (cd "$work/src" && cmake --workflow --preset release) >"$work/$1.log" 2>&1
  fi
  mkdir -p "$work/$1"
  (cd "$work/$1" && unzip -q "$work"/src/build/win32/Velmorant-*-win32.zip)
  cp "$work/src/build/win32/Velmorant.exe" "$work/$1/unsigned.exe"
}
zip_sha_line() {  # zip_sha_line NAME: the workflow's SHA-256 names the zip's program
  grep -q "$(sha256sum "$work/$1/Velmorant.exe" | cut -d' ' -f1)" "$work/$1.log"
}
verifies() { osslsigncode verify -CAfile "$work/key/ca.pem" -in "$1"; }
fails_to_verify() { ! verifies "$1"; }

release unsigned
check "without a key, the zip holds the unsigned program" \
  cmp "$work/unsigned/Velmorant.exe" "$work/unsigned/unsigned.exe"
check "without a key, the SHA-256 line names the zip's program" zip_sha_line unsigned
check "without a key, the program carries no signature" fails_to_verify "$work/unsigned/Velmorant.exe"

release first signed
release second signed
check "the signed program verifies against the authority" verifies "$work/first/Velmorant.exe"
check "the signed program passes the static checks" \
  python3 "$root/tests/static/check_program.py" --exe "$work/first/Velmorant.exe" --machine i686 \
  --signed --build-path "$work/src"
check "the signed release's SHA-256 line names the zip's program" zip_sha_line first
check "two clean builds give the same signed bytes" \
  cmp "$work/first/Velmorant.exe" "$work/second/Velmorant.exe"
check "signing leaves the unsigned program as it was" \
  cmp "$work/first/unsigned.exe" "$work/unsigned/unsigned.exe"
# One byte of the code changed.
cp "$work/first/Velmorant.exe" "$work/tampered.exe"
printf '\x90' | dd of="$work/tampered.exe" bs=1 seek=2000 conv=notrunc status=none
check "one changed byte fails verification" fails_to_verify "$work/tampered.exe"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
