#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Safe to run again: it installs only
# what is missing, and asks apt for nothing when nothing is.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev libbenchmark-dev  # the portable core, its tests, benchmarks
  libxml2-utils                                        # xmllint: validates the ribbon markup
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages are installed"
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
