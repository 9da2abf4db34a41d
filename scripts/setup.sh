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
  fonts-wqy-microhei locales                           # CJK glyphs; the locales that give Wine a language
  nsis wixl                                            # the installers: per user (NSIS), per machine (MSI)
  osslsigncode openssl                                 # signing them, and the throw-away certificate of the tests
)
# Wine's 32-bit side runs the 32-bit build, the one Access 2007 loads. It needs Debian's i386
# architecture; where it cannot be had, the 32-bit Wine tests report themselves skipped.
wine32=wine32:i386

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
need_wine32=0
installed "$wine32" || need_wine32=1
if [ ${#missing[@]} -eq 0 ] && [ "$need_wine32" = 0 ]; then
  echo "setup: all $((${#packages[@]} + 1)) packages are installed"
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ "$need_wine32" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding Debian's i386 architecture (for $wine32)"
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ "$need_wine32" = 1 ]; then
  echo "setup: installing $wine32"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$wine32" ||
    echo "setup: $wine32 cannot be installed here; the 32-bit Wine tests will report themselves skipped"
fi
