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

# run_tests PRESET: its tests, with CTest's report kept for the summary.
run_tests() {
  ctest --preset "$1" -j"$(nproc)" 2>&1 | tee "build/$1/ctest.out"
  return "${PIPESTATUS[0]}"
}

# The last line: for each build, how many tests ran and how many were skipped, and why (each
# skipped test says why in its output: "skipped: ..." from the Wine tests, GoogleTest's
# "Skipped" message). With TEST_REQUIRE_32_BIT=1 (CI), a 32-bit test skipped on a machine where
# setup made 32-bit programs run (natively or emulated) fails the run.
summary() {
  local preset out ran skipped line="" why reasons="" skipped32=0
  for preset in native native-sanitize mingw-i686 mingw-x86_64; do
    out="build/$preset/ctest.out"
    ran=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: ' "$out" || true)
    skipped=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*Skipped' "$out" || true)
    ran=$((ran - skipped))
    line+="${line:+; }$preset $ran ran, $skipped skipped"
    [ "$skipped" -eq 0 ] && continue
    case "$preset" in mingw-*) skipped32=$((skipped32 + skipped)) ;; esac
    why=$(sed -n 's/^skipped: //p; /: Skipped$/{n;p}' "build/$preset/Testing/Temporary/LastTest.log" 2>/dev/null |
          sort -u || true)
    reasons+="$why"$'\n'
  done
  reasons=$(printf '%s' "$reasons" | sed '/^$/d' | sort -u | paste -sd ';' | sed 's/;/; /g')
  echo "== tests: $line${reasons:+ (skipped because: $reasons)}; 32-bit programs: $(cat "$setup_report")"
  if [ "${TEST_REQUIRE_32_BIT:-0}" = 1 ] && [ "$skipped32" -gt 0 ]; then
    case "$(cat "$setup_report")" in
      native | emulated | failed*)
        echo "test.sh: $skipped32 Windows tests were skipped, although setup left 32-bit programs $(cat "$setup_report")" >&2
        return 1 ;;
    esac
  fi
}

mkdir -p build
setup_report="$PWD/build/setup-32-bit"
SETUP_32_BIT_REPORT="$setup_report" scripts/setup.sh
echo "== native build: portable core, tools, unit tests"
cmake --preset native -DCUSTOMUI_XSD="$xsd" -DADMX_XSD="$admx" >/dev/null
cmake --build --preset native
echo "== native tests"
run_tests native

echo "== native build under AddressSanitizer and UBSan (clang): the same tests, any finding fatal"
cmake --preset native-sanitize -DCUSTOMUI_XSD="$xsd" -DADMX_XSD="$admx" >/dev/null
cmake --build --preset native-sanitize
run_tests native-sanitize
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
  run_tests "$preset"
done
summary
