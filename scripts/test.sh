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
