#!/usr/bin/env bash
# Sets everything up, builds, and runs every test.
# The ribbon schema for the validation tests: CUSTOMUI_XSD=/path/to/customUI.xsd, or the first
# argument; without one those tests report themselves skipped. The same for the administrative
# templates: ADMX_XSD=/path/to/PolicyDefinitionFiles.xsd.
set -euo pipefail
cd "$(dirname "$0")/.."

xsd="${1:-${CUSTOMUI_XSD:-}}"
[ -z "$xsd" ] || xsd="$(realpath "$xsd")"
admx="${ADMX_XSD:-}"
[ -z "$admx" ] || admx="$(realpath "$admx")"

scripts/setup.sh
echo "== native build: portable core, tools, unit tests"
cmake --preset native -DCUSTOMUI_XSD="$xsd" -DADMX_XSD="$admx" >/dev/null
cmake --build --preset native
echo "== native tests"
ctest --preset native -j"$(nproc)"

echo "== native build under AddressSanitizer and UBSan (clang): the same tests, any finding fatal"
cmake --preset native-sanitize -DCUSTOMUI_XSD="$xsd" -DADMX_XSD="$admx" >/dev/null
cmake --build --preset native-sanitize
ctest --preset native-sanitize -j"$(nproc)"
echo "== fuzzing: each target for 20 s (scripts/fuzz.sh runs them longer)"
scripts/fuzz.sh 20

# The same tests for both Windows builds, under Wine, a fresh prefix per test program. Where
# this machine cannot run 32-bit programs, the 32-bit build's Wine tests say so and are skipped.
# Both builds are signed, with a throw-away certificate authority and certificate made here: each
# shipped file is signed and verified as it is made, the test "signatures" verifies them against
# that authority and shows a copy with one byte changed failing, and the Wine tests run on the
# signed files (Wine itself checks no signature when it loads or installs one).
cert="$PWD/build/test-certificate"
scripts/make-test-certificate.sh "$cert"
sign=(-DMENUVANE_SIGN_PKCS12="$cert/signing.p12" -DMENUVANE_SIGN_PASSWORD_FILE="$cert/password"
      -DMENUVANE_SIGN_CA_FILE="$cert/ca.pem")
for preset in mingw-i686 mingw-x86_64; do
  echo "== Windows build $preset, signed, and its tests under Wine"
  cmake --preset "$preset" "${sign[@]}" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j"$(nproc)"
done
