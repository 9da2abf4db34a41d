#!/usr/bin/env bash
# Sets everything up, builds, and shows the Classic tab's markup for the default settings:
# exactly what the add-in hands to Access on a first run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native
echo "== the Classic tab's markup for the default settings (pellwyn-markup):"
build/native/tools/pellwyn-markup
