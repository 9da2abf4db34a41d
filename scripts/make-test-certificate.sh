#!/usr/bin/env bash
# Makes a throw-away certificate authority and a code-signing certificate it issued, for
# building signed and checking the signatures without a real certificate (scripts/test.sh).
#   scripts/make-test-certificate.sh DIR
# DIR then holds ca.pem (the authority, to verify against), signing.p12 (the certificate, its
# key and the authority's certificate) and password (the PKCS#12 file's password), readable by
# the owner only; the authority's key is deleted once it has issued the certificate. Certificates
# that are still valid for a week are kept, so that builds signed with them stay up to date.
# To sign with them: -DMENUVANE_SIGN_PKCS12=DIR/signing.p12 -DMENUVANE_SIGN_PASSWORD_FILE=DIR/password
# -DMENUVANE_SIGN_CA_FILE=DIR/ca.pem
set -euo pipefail
dir="${1:?usage: make-test-certificate.sh DIR}"
mkdir -p "$dir"
dir="$(realpath "$dir")"
cd "$dir"

week=$((7 * 24 * 3600))
if ! { [ -f signing.p12 ] && [ -f password ] && [ -f ca.pem ] && [ -f signing.pem ] &&
       openssl x509 -in signing.pem -noout -checkend "$week" >/dev/null 2>&1; }; then
  umask 077
  rm -f ca.pem ca.key signing.pem signing.key signing.csr signing.p12 password
  openssl rand -hex 24 >password
  openssl req -x509 -new -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 90 \
    -subj "/CN=Menuvane throw-away test CA" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
  openssl req -new -newkey rsa:2048 -nodes -keyout signing.key -out signing.csr \
    -subj "/O=Team Kestrelby/CN=Team Kestrelby (test signing)" 2>/dev/null
  openssl x509 -req -in signing.csr -CA ca.pem -CAkey ca.key -set_serial "0x$(openssl rand -hex 8)" \
    -days 60 -out signing.pem -extfile <(printf '%s\n' "basicConstraints=critical,CA:FALSE" \
      "keyUsage=critical,digitalSignature" "extendedKeyUsage=codeSigning" \
      "subjectKeyIdentifier=hash" "authorityKeyIdentifier=keyid") 2>/dev/null
  openssl pkcs12 -export -inkey signing.key -in signing.pem -certfile ca.pem \
    -passout "file:$dir/password" -out signing.p12
  rm -f ca.key signing.key signing.csr
fi
echo "test certificate: $dir/signing.p12, issued by $dir/ca.pem"
