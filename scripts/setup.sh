#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Safe to run again: it installs only
# what is missing, and asks apt for nothing when nothing is.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev libbenchmark-dev  # the portable core, its tests, benchmarks
  clang libclang-rt-14-dev                             # the sanitizer build and the fuzzers
  libxml2-utils                                        # xmllint: validates the ribbon markup
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools  # the Windows programs, 64- and 32-bit
  wine wine64 xvfb xauth fonts-liberation              # runs and shows them here, for the tests
  imagemagick xdotool                                  # screenshots of the windows
  nsis                                                 # the installers
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
