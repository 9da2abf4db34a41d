#!/usr/bin/env bash
# Sets everything up, builds, and runs every test.
# The ribbon schema for the validation tests: CUSTOMUI_XSD=/path/to/customUI.xsd, or the first
# argument; without one those tests report themselves skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

xsd="${1:-${CUSTOMUI_XSD:-}}"
[ -z "$xsd" ] || xsd="$(realpath "$xsd")"

scripts/setup.sh
echo "== native build: portable core, tools, unit tests"
cmake --preset native -DCUSTOMUI_XSD="$xsd" >/dev/null
cmake --build --preset native
echo "== native tests"
ctest --preset native -j"$(nproc)"

echo "== native build under AddressSanitizer and UBSan (clang): the same tests, any finding fatal"
cmake --preset native-sanitize -DCUSTOMUI_XSD="$xsd" >/dev/null
cmake --build --preset native-sanitize
ctest --preset native-sanitize -j"$(nproc)"

echo "== Windows 32-bit build (the one Access 2007 loads): compiled and checked, not run"
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686
ctest --preset mingw-i686
echo "== Windows 64-bit build and its tests under Wine (a fresh prefix per test program)"
cmake --preset mingw-x86_64 >/dev/null
cmake --build --preset mingw-x86_64
ctest --preset mingw-x86_64 -j"$(nproc)"
