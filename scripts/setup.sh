#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Safe to run again: it installs only
# what is missing, and asks apt for nothing when nothing is.
# A package index that cannot be refreshed (a mirror caught mid-sync, say) is tried again a few
# times, then left: setup says which one and goes on with the lists apt has. It fails only when
# a package the project needs cannot be installed, and names it.
# SETUP_UPDATE_TRIES (3) and SETUP_UPDATE_PAUSE (seconds between tries, 5) change the retries.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev libbenchmark-dev  # the portable core, its tests, benchmarks
  clang libclang-rt-14-dev                             # the sanitizer build and the fuzzers
  libxml2-utils                                        # xmllint: validates the ribbon markup
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools  # the Windows programs, 64- and 32-bit
  wine wine64 xvfb xauth fonts-liberation locales      # runs and shows them here, for the tests
  imagemagick xdotool                                  # screenshots of the windows
  fonts-wqy-microhei locales                           # CJK glyphs; the locales that give Wine a language
  nsis wixl                                            # the installers: per user (NSIS), per machine (MSI)
  osslsigncode openssl                                 # signing them, and the throw-away certificate of the tests
  gettext                                              # msgfmt: the translations
  libgettextpo-dev                                     # po-compile reads and checks them through gettext's library
)
# Wine's 32-bit side runs the 32-bit build, the one Access 2007 loads. It needs Debian's i386
# architecture; where it cannot be had, the 32-bit Wine tests report themselves skipped and
# scripts/run.sh shows the 64-bit build instead.
wine32=wine32:i386
tries="${SETUP_UPDATE_TRIES:-3}"
pause="${SETUP_UPDATE_PAUSE:-5}"

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
errors="$(mktemp)"
trap 'rm -f "$errors"' EXIT

# apt's first error line in $errors, without its "E: " and the mirror's address: why it failed.
first_error() {
  sed -n 's/^E: //; T; s/ *\[IP: [^]]*\]$//; p; q' "$errors"
}

# apt-get update, tried up to $tries times. The indexes still failing after the last try are
# named, one line each, and setup goes on: apt keeps the lists it had (or none for that index).
refresh_indexes() {
  local try failed
  for ((try = 1; ; try++)); do
    $sudo apt-get update -qq 2>"$errors" && return 0
    failed=$(sed -n 's/^[EW]: Failed to fetch \([^ ]*\) *\(.*\)$/\1 (\2)/p' "$errors" | sed 's/ *\[IP: [^]]*\])$/)/')
    if [ "$try" -ge "$tries" ]; then break; fi
    echo "setup: apt-get update failed (try $try of $tries); trying again in $pause s"
    sleep "$pause"
  done
  if [ -z "$failed" ]; then
    echo "setup: apt-get update failed $tries times ($(first_error)); going on with the package lists apt has"
  else
    printf '%s\n' "$failed" | while IFS= read -r index; do
      echo "setup: package index $index could not be refreshed after $tries tries; going on with the package lists apt has"
    done
  fi
}

# apt-get install of the packages given; apt's errors in $errors. Another apt at work (on a
# shared machine, say) is waited for, up to two minutes, rather than taken for a failure.
apt_install() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=120 "$@" 2>"$errors"
}

if [ "$need_wine32" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding Debian's i386 architecture (for $wine32)"
  $sudo dpkg --add-architecture i386 || echo "setup: Debian's i386 architecture could not be added"
fi
refresh_indexes

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! apt_install "${missing[@]}"; then
    # One package apt cannot install keeps it from installing the others: each on its own.
    echo "setup: apt could not install them all ($(first_error)); trying each on its own"
    for p in "${missing[@]}"; do
      installed "$p" || apt_install "$p" || echo "setup: cannot install $p ($(first_error))"
    done
  fi
fi
if [ "$need_wine32" = 1 ]; then
  echo "setup: installing $wine32"
  apt_install "$wine32" ||
    echo "setup: $wine32 cannot be installed here ($(first_error)); the 32-bit Wine tests will report themselves skipped, and scripts/run.sh shows the 64-bit build"
fi

unavailable=()
for p in "${missing[@]}"; do
  installed "$p" || unavailable+=("$p")
done
if [ ${#unavailable[@]} -gt 0 ]; then
  echo "setup: the project needs ${unavailable[*]}, which could not be installed: run scripts/setup.sh again later (a package index may refresh by then), or install it by hand (apt-get install ${unavailable[*]})" >&2
  exit 1
fi
