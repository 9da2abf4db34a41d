#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, and makes 32-bit programs run. Safe to
# run again: it installs only what is missing, and asks apt for nothing when nothing is.
# A package index that cannot be refreshed (a mirror caught mid-sync, say) is tried again a few
# times, then left: setup says which one and goes on with the lists apt has. It fails only when
# a package the project needs cannot be installed, and names it.
# SETUP_UPDATE_TRIES (3) and SETUP_UPDATE_PAUSE (seconds between tries, 5) change the retries.
#
# 32-bit programs: the 32-bit build and the per-user setup are 32-bit Windows programs, which
# Wine runs with its 32-bit side, itself 32-bit Linux programs. Some kernels run no 32-bit code
# at all ("Exec format error"); there QEMU's user-mode emulator, from bookworm-backports and
# registered with binfmt_misc for i386 programs, runs them. On a kernel that runs them, none of
# that happens. Setup ends with one line saying how 32-bit programs run here, or why they
# cannot, and writes it (native, emulated, unavailable: ..., or failed: ...) to the file
# SETUP_32_BIT_REPORT names, if set. The tests set SETUP_BINFMT_DIR, SETUP_APT_DIR,
# SETUP_QEMU_DIR, SETUP_PROBE_32_BIT, SETUP_APT_HELPER, SETUP_APT_LISTS and WINE_LOADER_DIR to
# stand-ins.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev libbenchmark-dev  # the portable core, its tests, benchmarks
  clang libclang-rt-14-dev                             # the sanitizer build and the fuzzers
  libxml2-utils                                        # xmllint: validates the ribbon markup
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools  # the Windows programs, 64- and 32-bit
  wine wine64 xvfb xauth fonts-liberation locales      # runs and shows them here, for the tests
  imagemagick xdotool                                  # screenshots of the windows
  fonts-wqy-microhei locales                           # CJK glyphs; the locales that give Wine a language
  fonts-liberation2 fonts-noto-core fonts-noto-ui-core  # Hebrew in Liberation Sans; Arabic, Hebrew, Thai, Devanagari faces
  fonts-tlwg-loma-ttf fonts-freefont-ttf               # stand-ins for Windows' Thai and Hindi dialog faces
  nsis wixl                                            # the installers: per user (NSIS), per machine (MSI)
  osslsigncode openssl                                 # signing them, and the throw-away certificate of the tests
  gettext                                              # msgfmt: the translations
  libgettextpo-dev                                     # po-compile reads and checks them through gettext's library
)
# Wine's 32-bit side runs the 32-bit build, the one Access 2007 loads. It needs Debian's i386
# architecture; where it cannot be had, the 32-bit Wine tests report themselves skipped and
# scripts/run.sh shows the 64-bit build instead.
wine32=wine32:i386
# QEMU's user-mode emulator; bookworm's own (7.2) cannot run Wine (it ignores
# MAP_FIXED_NOREPLACE: "failed to map the shared user data"), bookworm-backports' can.
qemu_packages=(qemu-user-static qemu-user qemu-user-binfmt)
qemu_suite=bookworm-backports
tries="${SETUP_UPDATE_TRIES:-3}"
pause="${SETUP_UPDATE_PAUSE:-5}"
binfmt="${SETUP_BINFMT_DIR:-/proc/sys/fs/binfmt_misc}"
apt_dir="${SETUP_APT_DIR:-/etc/apt}"
qemu_dir="${SETUP_QEMU_DIR:-/usr/bin}"
apt_helper="${SETUP_APT_HELPER:-/usr/lib/apt/apt-helper}"
apt_lists="${SETUP_APT_LISTS:-/var/lib/apt/lists}"
loader32="${WINE_LOADER_DIR:-/usr/lib/wine}/wine"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
errors="$(mktemp)" probe="$(mktemp)"
trap 'rm -f "$errors" "$probe"' EXIT

# ---- Can this kernel run a 32-bit program? Asked before any i386 package is installed, so that
# the emulator is in place when their install scripts run 32-bit programs. The probe is the
# smallest static i386 program there is (ELF header, one segment, then `xor ebx,ebx; mov eax,1;
# int 0x80`: it only exits with 0); it needs no library.
# Prints nothing when it runs, else why not.
why_no_32_bit() {
  local out
  if [ -n "${SETUP_PROBE_32_BIT:-}" ]; then
    out=$("$SETUP_PROBE_32_BIT" 2>&1) && return 0
  else
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0\61\333\270\1\0\0\0\315\200' >"$probe"
    chmod +x "$probe"
    out=$("$probe" 2>&1) && return 0
  fi
  case "$out" in
    *"Exec format error"*) echo "this kernel runs no 32-bit programs" ;;
    *) echo "a 32-bit program does not start: ${out//$'\n'/ }" ;;
  esac
}

# The emulator's program, when bookworm-backports' QEMU (8 or later) is installed.
qemu_program() {
  local p v
  for p in "$qemu_dir/qemu-i386-static" "$qemu_dir/qemu-i386"; do
    [ -x "$p" ] || continue
    v=$("$p" --version 2>/dev/null | sed -n '1s/.* version \([0-9]*\)\..*/\1/p')
    [ "${v:-0}" -ge 8 ] && { echo "$p"; return 0; }
  done
  return 1
}

# i386 programs (executables and position-independent ones: ELF type 2 or 3, machine 3) go to
# QEMU; "F" opens the emulator now, so it runs them inside any mount namespace or chroot.
binfmt_rule() {
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  printf '%s' ':\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf ':%s:F' "$1"
}

# Writes TEXT to the binfmt_misc FILE in one write(2), as binfmt_misc wants: one printf into
# a pipe (a write of less than PIPE_BUF stays whole), which tee reads and writes at once.
binfmt_write() {  # binfmt_write FILE TEXT
  printf '%s' "$2" | $sudo tee "$1" >/dev/null 2>"$errors"
}

emulated() {  # whether binfmt_misc sends i386 programs to QEMU now
  [ -f "$binfmt/qemu-i386" ] && grep -qx enabled "$binfmt/qemu-i386" &&
    grep -q '^interpreter .*qemu-i386' "$binfmt/qemu-i386"
}

# First error line in $errors, without its "E: " and the mirror's address: why apt failed.
first_error() {
  sed -n 's/^E: //; T; s/ *\[IP: [^]]*\]$//; p; q' "$errors"
}

# apt-get update, tried up to $tries times. The indexes still failing after the last try are
# named, one line each, and setup goes on: apt keeps the lists it had (or none for that index).
# $failed_indexes keeps their addresses.
failed_indexes=""
refresh_indexes() {
  local try failed
  for ((try = 1; ; try++)); do
    $sudo apt-get update -qq 2>"$errors" && { failed_indexes=""; return 0; }
    failed=$(sed -n 's/^[EW]: Failed to fetch \([^ ]*\) *\(.*\)$/\1 (\2)/p' "$errors" | sed 's/ *\[IP: [^]]*\])$/)/')
    if [ "$try" -ge "$tries" ]; then break; fi
    echo "setup: apt-get update failed (try $try of $tries); trying again in $pause s"
    sleep "$pause"
  done
  failed_indexes=$(printf '%s\n' "$failed" | sed -n 's/ (.*//p')
  if [ -z "$failed" ]; then
    echo "setup: apt-get update failed $tries times ($(first_error)); going on with the package lists apt has"
  else
    printf '%s\n' "$failed" | while IFS= read -r index; do
      echo "setup: package index $index could not be refreshed after $tries tries; going on with the package lists apt has"
    done
  fi
}

# apt-get install of the packages given; apt's errors in $errors. Another apt at work (on a
# shared machine, say) is waited for, up to two minutes, rather than taken for a failure. Setup
# never removes a package: an install that would (i386 twins out of step, say) fails instead.
apt_install() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends --no-remove \
    -o DPkg::Lock::Timeout=120 "$@" 2>"$errors"
}

# wine32:i386 needs its i386 libraries at the very versions of their amd64 twins (Multi-Arch).
# When an i386 index could not be refreshed, apt has the amd64 packages of that suite but not
# their i386 twins, and cannot install it. Then the index is taken as the mirror serves it, into
# a copy of apt's lists used for this one install: apt's own lists stay as they were. Its
# packages are still checked against the hashes it lists, but the suite's signed Release does
# not vouch for it (that is why apt refused it); setup says so.
install_wine32_from_served_indexes() {
  local lists index name
  local indexes=$(printf '%s\n' "$failed_indexes" | grep '/binary-i386/Packages' || true)
  [ -n "$indexes" ] || return 1
  lists=$(mktemp -d)
  cp -a "$apt_lists/." "$lists/" 2>/dev/null || true
  rm -f "$lists/lock"
  mkdir -p "$lists/partial"
  for index in $indexes; do
    name=$(printf '%s' "${index#*://}" | sed 's/\.\(xz\|gz\|bz2\|lz4\|zst\)$//; s,/,_,g')
    "$apt_helper" download-file "$index" "$lists/partial/served" >/dev/null 2>&1 &&
      "$apt_helper" cat-file "$lists/partial/served" >"$lists/$name" 2>/dev/null ||
      { rm -rf "$lists"; return 1; }
    echo "setup: installing $wine32 with the i386 index $index as the mirror serves it, which the suite's signed Release does not vouch for"
  done
  rm -f "$lists/partial/served"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends --no-remove \
    -o DPkg::Lock::Timeout=120 -o Dir::State::Lists="$lists" "$wine32" 2>"$errors"
  local status=$?
  rm -rf "$lists"
  return $status
}

# bookworm-backports as a source, pinned so that only QEMU's user-mode emulator comes from it.
add_qemu_suite() {
  local list="$apt_dir/sources.list.d/menuvane-qemu.sources" pin="$apt_dir/preferences.d/menuvane-qemu"
  [ -f "$list" ] && [ -f "$pin" ] && return 0
  printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$qemu_suite" | $sudo tee "$list" >/dev/null
  printf 'Package: %s\nPin: release n=%s\nPin-Priority: 500\n\nPackage: *\nPin: release n=%s\nPin-Priority: -1\n' \
    "${qemu_packages[*]}" "$qemu_suite" "$qemu_suite" | $sudo tee "$pin" >/dev/null
}

# ---- What is missing. said_32: whether a line on 32-bit programs was said already.
said_32=0
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
need_wine32=0
installed "$wine32" || need_wine32=1
kernel_refuses=0 need_qemu=0
why32=$(why_no_32_bit)
case "$why32" in
  "this kernel runs no 32-bit programs"*)
    kernel_refuses=1
    qemu_program >/dev/null || need_qemu=1 ;;
esac

if [ ${#missing[@]} -eq 0 ] && [ "$need_wine32" = 0 ] && [ "$need_qemu" = 0 ]; then
  echo "setup: all $((${#packages[@]} + 1)) packages are installed"
else
  if [ "$need_wine32" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding Debian's i386 architecture (for $wine32)"
    $sudo dpkg --add-architecture i386 || echo "setup: Debian's i386 architecture could not be added"
  fi
  [ "$need_qemu" = 0 ] || add_qemu_suite
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
  if [ "$need_qemu" = 1 ] && ! { apt_install "${qemu_packages[0]}/$qemu_suite" && qemu_program >/dev/null; }; then
    echo "setup: this kernel runs no 32-bit programs, and QEMU's user-mode emulator cannot be installed from $qemu_suite ($(first_error)); 32-bit programs cannot run here"
    said_32=1
  fi
fi

# ---- 32-bit programs on a kernel that refuses them: QEMU, through binfmt_misc.
if [ "$kernel_refuses" = 1 ] && ! emulated && qemu="$(qemu_program)"; then
  if [ ! -e "$binfmt/register" ]; then
    $sudo mount -t binfmt_misc binfmt_misc "$binfmt" 2>"$errors" || true
  fi
  if [ ! -e "$binfmt/register" ]; then
    echo "setup: this kernel runs no 32-bit programs, and binfmt_misc cannot be mounted at $binfmt ($(head -n 1 "$errors")); 32-bit programs cannot run here"
    said_32=1
  else
    # An entry of another emulator (bookworm's QEMU 7.2, say) goes first.
    [ ! -e "$binfmt/qemu-i386" ] || binfmt_write "$binfmt/qemu-i386" -1 || true
    if binfmt_write "$binfmt/register" "$(binfmt_rule "$qemu")"; then
      echo "setup: this kernel runs no 32-bit programs: QEMU's user-mode emulator ($("$qemu" --version | sed -n '1s/ (.*//p'), from $qemu_suite) now runs them, registered with binfmt_misc"
    else
      echo "setup: this kernel runs no 32-bit programs, and binfmt_misc refused QEMU's entry ($(head -n 1 "$errors")); 32-bit programs cannot run here"
    fi
    said_32=1
  fi
fi

if [ "$need_wine32" = 1 ]; then
  echo "setup: installing $wine32"
  if ! apt_install "$wine32" && ! install_wine32_from_served_indexes; then
    echo "setup: $wine32 cannot be installed here ($(first_error)); the 32-bit Wine tests will report themselves skipped, and scripts/run.sh shows the 64-bit build"
    said_32=1
  fi
fi

# ---- How 32-bit programs run here, in one line, ending with Wine's own word on it.
if [ ! -x "$loader32" ]; then
  verdict="unavailable: Wine's 32-bit side ($wine32) is not installed"
elif out=$("$loader32" --version 2>&1); then
  if emulated; then verdict="emulated"; else verdict="native"; fi
else
  out="${out//$'\n'/ }"
  case "$out" in
    *"Exec format error"*)
      if [ "$kernel_refuses" = 1 ] && ! emulated; then
        verdict="unavailable: this kernel runs no 32-bit programs, and QEMU's user-mode emulator could not be set up for them"
      else
        verdict="failed: Wine's 32-bit loader does not start ($out)"
      fi ;;
    *) verdict="failed: Wine's 32-bit loader does not start ($out)" ;;
  esac
fi
case "$verdict" in
  native) ;;  # as everywhere else: nothing to say
  emulated) [ "$said_32" = 1 ] ||
      echo "setup: 32-bit programs run through QEMU's user-mode emulator ($(sed -n 's/^interpreter //p' "$binfmt/qemu-i386"), registered with binfmt_misc)" ;;
  unavailable*) [ "$said_32" = 1 ] ||
      echo "setup: 32-bit programs: $verdict; the 32-bit Wine tests will report themselves skipped" ;;
  *) echo "setup: 32-bit programs: $verdict; the 32-bit Wine tests will report themselves skipped" ;;
esac
[ -z "${SETUP_32_BIT_REPORT:-}" ] || echo "$verdict" >"$SETUP_32_BIT_REPORT"

unavailable=()
for p in "${missing[@]}"; do
  installed "$p" || unavailable+=("$p")
done
if [ ${#unavailable[@]} -gt 0 ]; then
  echo "setup: the project needs ${unavailable[*]}, which could not be installed: run scripts/setup.sh again later (a package index may refresh by then), or install it by hand (apt-get install ${unavailable[*]})" >&2
  exit 1
fi
