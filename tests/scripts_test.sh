#!/usr/bin/env bash
# What scripts/setup.sh and scripts/run.sh decide, with stand-ins for apt, dpkg, cmake and Wine
# that note every call and fail as told: a package index that cannot be refreshed, a package
# that cannot be installed, a machine without 32-bit Wine. Seconds; no root, network or build.
#   scripts_test.sh SOURCE_DIR
set -uo pipefail
src="$(realpath "$1")"
T="$(mktemp -d "${TMPDIR:-/tmp}/scripts-test.XXXXXX")"
trap 'rm -rf "$T"' EXIT
mkdir -p "$T/bin" "$T/state" "$T/tmp"
export STATE="$T/state"

failures=0 passes=0
check() {  # check DESCRIPTION COMMAND...: runs the command, counts a failure when it fails
  local what="$1"; shift
  if "$@"; then passes=$((passes + 1)); else echo "FAIL  $what"; failures=$((failures + 1)); fi
}
fails() { ! "$@"; }
stub() { cat >"$T/bin/$1"; chmod +x "$T/bin/$1"; }  # stub NAME < SCRIPT: a stand-in on PATH

# Checks of the last run: out~RE / out!RE (its output, stdout and stderr), err~RE / err!RE (stderr),
# calls~RE / calls!RE (the stand-ins' calls), updates=N (apt-get update calls), installed=PKG,
# rc=N (its exit code), verdict~RE (setup's word on 32-bit programs), apt~RE (the sources and
# pins setup wrote).
expect() {
  local name="$1" before="$failures" e; shift
  cat "$T/stdout" "$T/stderr" >"$T/out"
  for e in "$@"; do
    case "$e" in
      out~*) check "$name: prints /${e#out~}/" grep -qE -- "${e#out~}" "$T/out" ;;
      out!*) check "$name: does not print /${e#out!}/" fails grep -qE -- "${e#out!}" "$T/out" ;;
      err~*) check "$name: says on stderr /${e#err~}/" grep -qE -- "${e#err~}" "$T/stderr" ;;
      err!*) check "$name: does not say on stderr /${e#err!}/" fails grep -qE -- "${e#err!}" "$T/stderr" ;;
      calls~*) check "$name: calls /${e#calls~}/" grep -qE -- "${e#calls~}" "$STATE/calls" ;;
      calls!*) check "$name: does not call /${e#calls!}/" fails grep -qE -- "${e#calls!}" "$STATE/calls" ;;
      updates=*) check "$name: apt-get update ${e#updates=} times" \
                   test "$(grep -c '^apt-get update' "$STATE/calls")" -eq "${e#updates=}" ;;
      installed=*) check "$name: ${e#installed=} installed" fails grep -qxF -- "${e#installed=}" "$STATE/absent" ;;
      rc=*) check "$name: exit code ${e#rc=} (got $rc)" test "$rc" -eq "${e#rc=}" ;;
      verdict~*) check "$name: 32-bit programs /${e#verdict~}/ (got $(cat "$T/verdict" 2>&1))" \
                   grep -qE -- "${e#verdict~}" "$T/verdict" ;;
      apt~*) check "$name: writes /${e#apt~}/ into apt's configuration" \
               grep -rqE -- "${e#apt~}" "$T/apt" ;;
      *) check "$name: an expectation this test can read: $e" false ;;
    esac
  done
  if [ "$failures" -gt "$before" ]; then
    echo "--- output of \"$name\":"; cat "$T/out"; echo "--- calls:"; cat "$STATE/calls"
  fi
}

# ---- scripts/setup.sh, with stand-ins for apt-get, dpkg-query, dpkg and sudo.
# $STATE/absent: the packages not installed; $STATE/broken: "PACKAGE REASON" for each one apt
# cannot install; $STATE/update: how the next apt-get updates go (0: fine, N: the next N fail
# fetching one index, always: every one does, lock: every one fails otherwise).
stub dpkg-query <<'EOF'
#!/usr/bin/env bash
pkg="${*: -1}"
if grep -qxF -- "$pkg" "$STATE/absent"; then echo "dpkg-query: no packages found matching $pkg" >&2; exit 1; fi
printf 'install ok installed'
EOF
stub dpkg <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STATE/calls"
case "$1" in
  --print-foreign-architectures) cat "$STATE/architectures" ;;
  --add-architecture) echo "$2" >>"$STATE/architectures" ;;
esac
EOF
stub sudo <<'EOF'
#!/usr/bin/env bash
exec "$@"
EOF
stub apt-get <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STATE/calls"
lists=$(printf '%s\n' "$@" | sed -n 's/^Dir::State::Lists=//p')
args=()
while [ $# -gt 0 ]; do case "$1" in -o) shift 2 ;; -*) shift ;; *) args+=("$1"); shift ;; esac; done
case "${args[0]}" in
  update)
    how=$(cat "$STATE/update")
    case "$how" in
      0) exit 0 ;;
      lock) echo "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 4242 (apt-get)" >&2
            exit 100 ;;
      always) ;;
      *) echo $((how - 1)) >"$STATE/update" ;;
    esac
    cat >&2 <<'MSG'
E: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.7 80]
   Hashes of expected file:
    - Filesize:376004 [weak]
E: Some index files failed to download. They have been ignored, or old ones used instead.
MSG
    exit 100 ;;
  install)
    # All or nothing, as apt does. wine32:i386 installs despite its breaks with the lists of
    # an i386 index as the mirror serves it.
    for p in "${args[@]:1}"; do
      reason=$(awk -v p="$p" '$1 == p { $1 = ""; sub(/^ /, ""); print; exit }' "$STATE/broken")
      [ "$p" = wine32:i386 ] && [ -n "$lists" ] && grep -qs '^served index$' "$lists"/*_binary-i386_Packages && reason=""
      [ -z "$reason" ] || { echo "E: $reason" >&2; exit 100; }
    done
    for p in "${args[@]:1}"; do
      p="${p%%/*}"  # qemu-user-static/bookworm-backports: the package of that suite
      grep -vxF -- "$p" "$STATE/absent" >"$STATE/absent.new"; mv "$STATE/absent.new" "$STATE/absent"
      case "$p" in
        qemu-user-static) printf '#!/bin/sh\necho "qemu-i386 version 10.0.2 (Debian 1:10.0.2+ds-2+deb13u1~bpo12+1)"\n' >"$QEMU/qemu-i386-static"
                          chmod +x "$QEMU/qemu-i386-static" ;;
        wine32:i386) cp "$T/bin32/probe" "$T/wine32/wine" ;;
      esac
    done ;;
esac
EOF
# The kernel's side of 32-bit programs: $STATE/kernel says whether it runs them (native), runs
# none (refuses), or has no binfmt_misc to mount (nobinfmt). binfmt_misc's files are plain files
# in $BINFMT: tee into "register" adds the entry, tee of -1 into an entry removes it. The probe
# and Wine's 32-bit loader run where the kernel does, or where binfmt_misc sends i386 programs
# to QEMU.
stub mount <<'EOF'
#!/usr/bin/env bash
echo "mount $*" >>"$STATE/calls"
[ "$(cat "$STATE/kernel")" != nobinfmt ] || { echo "mount: ${*: -1}: unknown filesystem type 'binfmt_misc'." >&2; exit 32; }
touch "${*: -1}/register"
EOF
stub tee <<'EOF'
#!/usr/bin/env bash
case "$1" in
  "$BINFMT/register")
    rule=$(cat); echo "binfmt register $rule" >>"$STATE/calls"
    IFS=: read -r _ name _ _ _ _ interpreter flags <<<"$rule"
    printf 'enabled\ninterpreter %s\nflags: %s\n' "$interpreter" "$flags" >"$BINFMT/$name" ;;
  "$BINFMT"/*) [ "$(cat)" = -1 ] && rm -f "$1"; echo "binfmt remove ${1##*/}" >>"$STATE/calls" ;;
  *) exec /usr/bin/tee "$@" ;;
esac
EOF
export BINFMT="$T/binfmt" QEMU="$T/qemu" T
mkdir -p "$T/bin32" "$T/wine32" "$BINFMT" "$QEMU" "$T/apt/sources.list.d" "$T/apt/preferences.d" "$T/lists"
cat >"$T/bin32/probe" <<'EOF'
#!/usr/bin/env bash
if [ "$(cat "$STATE/kernel")" != native ] && ! grep -qs '^interpreter .*qemu-i386' "$BINFMT/qemu-i386"; then
  echo "$0: cannot execute binary file: Exec format error" >&2; exit 126
fi
[ "${0##*/}" != wine ] || echo wine-8.0
EOF
chmod +x "$T/bin32/probe"
stub apt-helper <<'EOF'
#!/usr/bin/env bash
echo "apt-helper $*" >>"$STATE/calls"
case "$1" in
  download-file) [ "$(cat "$STATE/served")" = yes ] || { echo "E: Failed to fetch $2  404  Not Found" >&2; exit 100; }
                 echo "served index" >"$3" ;;
  cat-file) cat "$2" ;;
esac
EOF

# setup_case NAME ABSENT BROKEN UPDATE I386 KERNEL EXPECTATION...: runs setup.sh with the
# packages ABSENT not installed, BROKEN ("PACKAGE=REASON" or -) not installable, UPDATE as above,
# Debian's i386 architecture already added or not, and a KERNEL that runs 32-bit programs
# (native), runs none (refuses), runs none and has no binfmt_misc (nobinfmt), or runs none and
# has QEMU registered already (emulated). An absent qemu-user-static gets installed; a present
# one is bookworm-backports' QEMU 10. With SERVED=yes the mirror serves the index apt refused.
setup_case() {
  local name="$1" absent="$2" broken="$3" update="$4" i386="$5" kernel="$6"; shift 6
  : >"$STATE/calls"
  [ "$absent" = - ] && : >"$STATE/absent" || tr ' ' '\n' <<<"$absent" >"$STATE/absent"
  [ "$broken" = - ] && : >"$STATE/broken" || echo "${broken/=/ }" >"$STATE/broken"
  echo "$update" >"$STATE/update"
  [ "$i386" = yes ] && echo i386 >"$STATE/architectures" || : >"$STATE/architectures"
  echo "${SERVED:-no}" >"$STATE/served"
  rm -rf "${BINFMT:?}"/* "${QEMU:?}"/* "$T/wine32"/* "$T/apt"/*/* "$T/verdict"
  echo "$kernel" >"$STATE/kernel"
  if [ "$kernel" = emulated ]; then
    echo refuses >"$STATE/kernel"; touch "$BINFMT/register"
    printf 'enabled\ninterpreter %s\nflags: F\n' "$QEMU/qemu-i386-static" >"$BINFMT/qemu-i386"
  fi
  grep -qxF qemu-user-static "$STATE/absent" ||
    printf '#!/bin/sh\necho "qemu-i386 version 10.0.2 (Debian)"\n' >"$QEMU/qemu-i386-static"
  chmod -f +x "$QEMU"/* || true
  grep -qxF wine32:i386 "$STATE/absent" || cp "$T/bin32/probe" "$T/wine32/wine"
  rc=0
  PATH="$T/bin:$PATH" SETUP_UPDATE_PAUSE=0 SETUP_BINFMT_DIR="$BINFMT" SETUP_APT_DIR="$T/apt" SETUP_QEMU_DIR="$QEMU" \
    SETUP_PROBE_32_BIT="$T/bin32/probe" SETUP_APT_HELPER="$T/bin/apt-helper" SETUP_APT_LISTS="$T/lists" \
    WINE_LOADER_DIR="$T/wine32" SETUP_32_BIT_REPORT="$T/verdict" \
    "$src/scripts/setup.sh" >"$T/stdout" 2>"$T/stderr" </dev/null || rc=$?
  expect "setup, $name" "$@"
}

index='http://mirror\.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages\.xz'
breaks='Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages.'
rule='\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff'
one32() {  # one32 NAME: setup said one line, no more, on 32-bit programs
  check "setup, $1: one line on 32-bit programs" test "$(grep -c '32-bit' "$T/out")" -eq 1
}
#          case                                   absent             broken                                    update  i386 kernel
setup_case "everything installed"                 -                  -                                         always  yes  native \
  rc=0 'out~^setup: all [0-9]+ packages are installed$' 'calls!apt-get' 'calls!--add-architecture' \
  'verdict~^native$' 'calls!mount|binfmt|qemu' 'out!32-bit'
setup_case "one index failing, no wine32"         "xvfb wine32:i386" "wine32:i386=$breaks"                     always  no   native \
  rc=0 updates=3 installed=xvfb 'calls~^dpkg --add-architecture i386$' \
  'calls~^apt-get install -y -qq --no-install-recommends --no-remove -o DPkg::Lock::Timeout=120 xvfb$' \
  "out~^setup: package index $index \(File has unexpected size \(374820 != 376004\)\. Mirror sync in progress\?\) could not be refreshed after 3 tries; going on with the package lists apt has$" \
  'out~^setup: wine32:i386 cannot be installed here \(Error, pkgProblemResolver::Resolve generated breaks.*\); the 32-bit Wine tests will report themselves skipped' \
  'out!\[IP:' 'out!cannot install xvfb' "calls~^apt-helper download-file $index " \
  "verdict~^unavailable: Wine's 32-bit side \(wine32:i386\) is not installed$"
one32 "one index failing, no wine32"
SERVED=yes \
setup_case "wine32 from the index as served"      wine32:i386        "wine32:i386=$breaks"                     always  yes  native \
  rc=0 installed=wine32:i386 'verdict~^native$' \
  "out~^setup: installing wine32:i386 with the i386 index $index as the mirror serves it, which the suite's signed Release does not vouch for$" \
  'calls~^apt-get install .*-o Dir::State::Lists=[^ ]+ wine32:i386$' 'out!cannot'
setup_case "one index failing once"               xauth              -                                         1       yes  native \
  rc=0 updates=2 installed=xauth 'out~^setup: apt-get update failed \(try 1 of 3\); trying again' \
  'out!could not be refreshed' 'calls!--add-architecture' 'calls!wine32'
setup_case "a package the project needs missing"  "nsis xvfb"        "nsis=Unable to locate package nsis"      always  yes  native \
  rc=1 installed=xvfb 'out~^setup: cannot install nsis \(Unable to locate package nsis\)$' \
  'err~needs nsis, which could not be installed: run scripts/setup.sh again later .*apt-get install nsis\)$' \
  'err!xvfb'
setup_case "apt-get update failing otherwise"     gettext            -                                         lock    yes  native \
  rc=0 updates=3 installed=gettext \
  'out~^setup: apt-get update failed 3 times \(Could not get lock /var/lib/apt/lists/lock\. It is held by process 4242 \(apt-get\)\); going on'
setup_case "only wine32 missing, and installable" wine32:i386        -                                         0       yes  native \
  rc=0 updates=1 installed=wine32:i386 'calls!--add-architecture' 'out!cannot|failed' 'verdict~^native$'
# A kernel that runs no 32-bit programs: bookworm-backports' QEMU, pinned, registered before
# the i386 packages are installed (their install scripts run 32-bit programs).
setup_case "a kernel that runs none"              "qemu-user-static wine32:i386" -                             0       no   refuses \
  rc=0 updates=1 installed=qemu-user-static installed=wine32:i386 'verdict~^emulated$' \
  'calls~^apt-get install -y -qq --no-install-recommends --no-remove -o DPkg::Lock::Timeout=120 qemu-user-static/bookworm-backports$' \
  "calls~^mount -t binfmt_misc binfmt_misc $BINFMT$" \
  "calls~^binfmt register :qemu-i386:M::$rule:$QEMU/qemu-i386-static:F$" \
  "out~^setup: this kernel runs no 32-bit programs: QEMU's user-mode emulator \(qemu-i386 version 10\.0\.2, from bookworm-backports\) now runs them, registered with binfmt_misc$" \
  'apt~^Suites: bookworm-backports$' 'apt~^Package: qemu-user-static qemu-user qemu-user-binfmt$' \
  'apt~^Pin-Priority: -1$'
one32 "a kernel that runs none"
check "setup, a kernel that runs none: the emulator registered before wine32:i386 is installed" \
  test "$(grep -n 'binfmt register' "$STATE/calls" | cut -d: -f1)" -lt "$(grep -n 'install.*wine32' "$STATE/calls" | cut -d: -f1)"
setup_case "an emulator already registered"       -                  -                                         0       yes  emulated \
  rc=0 'verdict~^emulated$' 'calls!apt-get|mount|binfmt' \
  "out~^setup: 32-bit programs run through QEMU's user-mode emulator \($QEMU/qemu-i386-static, registered with binfmt_misc\)$"
setup_case "its QEMU installed, not registered"   -                  -                                         0       yes  refuses \
  rc=0 'verdict~^emulated$' 'calls!apt-get' "calls~^binfmt register :qemu-i386:M::" 'calls!binfmt remove'
setup_case "no binfmt_misc"                       -                  -                                         0       yes  nobinfmt \
  rc=0 'calls!binfmt register|apt-get' \
  "out~^setup: this kernel runs no 32-bit programs, and binfmt_misc cannot be mounted at $BINFMT \(mount: .*unknown filesystem type 'binfmt_misc'\.\); 32-bit programs cannot run here$" \
  "verdict~^unavailable: this kernel runs no 32-bit programs"
one32 "no binfmt_misc"
setup_case "bookworm-backports unreachable"       qemu-user-static   "qemu-user-static/bookworm-backports=Release 'bookworm-backports' for 'qemu-user-static' was not found" \
                                                                                                               always  yes  refuses \
  rc=0 'calls!binfmt register' "verdict~^unavailable: this kernel runs no 32-bit programs" \
  "out~^setup: this kernel runs no 32-bit programs, and QEMU's user-mode emulator cannot be installed from bookworm-backports \(Release 'bookworm-backports' for 'qemu-user-static' was not found\); 32-bit programs cannot run here$"
one32 "bookworm-backports unreachable"

# ---- scripts/run.sh's choice, in a copy of the scripts beside a stand-in setup.sh, with stand-ins
# for cmake, wineserver and Wine's loaders (WINE_LOADER_DIR) and the build's files run.sh takes.
# The real scripts/wine-run decides whether 32-bit programs can run.
repo="$T/repo"
mkdir -p "$repo/scripts" "$repo/build/mingw-i686/tests/win/options/standin" \
         "$repo/build/mingw-x86_64/tests/win/options/standin"
cp "$src/scripts/run.sh" "$src/scripts/wine-run" "$repo/scripts/"
echo "32-bit stand-in Access" >"$repo/build/mingw-i686/tests/win/options/standin/MSACCESS.exe"
echo "64-bit stand-in Access" >"$repo/build/mingw-x86_64/tests/win/options/standin/MSACCESS.exe"
touch "$repo/build/mingw-x86_64/Menuvane-7.0.0.exe" "$repo/build/mingw-x86_64/Menuvane-7.0.0-x64.msi" \
      "$repo/build/mingw-i686/Menuvane-7.0.0-x86.msi"
cat >"$repo/scripts/setup.sh" <<'EOF'
#!/usr/bin/env bash
echo "setup.sh" >>"$STATE/calls"
exit "$(cat "$STATE/setup")"
EOF
chmod +x "$repo/scripts/setup.sh"
stub cmake <<'EOF'
#!/usr/bin/env bash
echo "cmake $*" >>"$STATE/calls"
EOF
stub wineserver <<'EOF'
#!/usr/bin/env bash
exit 0
EOF
# A loader: notes its calls; a preview says which Access is in the prefix; the installer and
# msiexec end with the codes in $STATE/installer and $STATE/msiexec.
loader='#!/usr/bin/env bash
echo "$(basename "$0") $*" >>"$STATE/calls"
case "$1" in
  --version) echo wine-8.0 ;;
  wineboot) mkdir -p "$WINEPREFIX/drive_c" ;;
  winepath) echo "Z:${3//\//\\}" ;;
  msiexec) exit "$(cat "$STATE/msiexec")" ;;
  *Menuvane-*.exe) exit "$(cat "$STATE/installer")" ;;
  *pellwyn-preview.exe)
    echo "Tab \"Classic\""
    find "$WINEPREFIX/drive_c" -name MSACCESS.EXE | while read -r f; do echo "Access: ${f#$WINEPREFIX/} ($(cat "$f"))"; done ;;
esac'
for dir in with32 without32 noexec; do
  mkdir -p "$T/$dir"
  printf '%s\n' "$loader" >"$T/$dir/wine64"
done
printf '%s\n' "$loader" >"$T/with32/wine"
printf '#!/usr/bin/env bash\necho "$0: cannot execute binary file: Exec format error" >&2\nexit 126\n' >"$T/noexec/wine"
chmod +x "$T"/with32/* "$T"/without32/* "$T"/noexec/*

# run_case NAME LOADERS SETUP INSTALLER MSIEXEC EXPECTATION...: run.sh with the loaders of
# $T/LOADERS and the exit codes of setup.sh, the installer and msiexec.
run_case() {
  local name="$1" loaders="$2"; shift 2
  echo "$1" >"$STATE/setup"; echo "$2" >"$STATE/installer"; echo "$3" >"$STATE/msiexec"; shift 3
  : >"$STATE/calls"
  rc=0
  PATH="$T/bin:$PATH" WINE_LOADER_DIR="$T/$loaders" TMPDIR="$T/tmp" "$repo/scripts/run.sh" \
    >"$T/stdout" 2>"$T/stderr" </dev/null || rc=$?
  expect "run, $name" "$@"
}

access32='Access: drive_c/Program Files \(x86\)/Microsoft Office/Office12/MSACCESS.EXE \(32-bit stand-in Access\)'
access64='Access: drive_c/Program Files/Microsoft Office/root/Office16/MSACCESS.EXE \(64-bit stand-in Access\)'
fallback() {  # fallback REASON: run.sh's one line without 32-bit Wine
  echo "out~^32-bit Windows programs cannot run here \($1\): showing the 64-bit build beside a 64-bit Access instead, installed by its per-machine package with msiexec, as the installer is a 32-bit program\$"
}
#        case                              loaders    setup installer msiexec
run_case "with 32-bit Wine"                with32     0     0         0 \
  rc=0 'out~^== \[6/6\] ' 'out!cannot run here' 'calls~^wine build/mingw-x86_64/Menuvane-7\.0\.0\.exe /S$' \
  'calls~^wine reg add .*App Paths.MSACCESS\.EXE /ve /d C:.Program Files \(x86\).Microsoft Office.Office12.MSACCESS\.EXE /reg:32 /f$' \
  'calls~^wine build/mingw-i686/tools/pellwyn-preview\.exe --context table-datasheet' \
  'calls~^wine build/mingw-i686/tools/pellwyn-preview\.exe --context form-design' \
  "out~^$access32$" 'out!64-bit stand-in' 'calls!msiexec|^wine64 '
run_case "without 32-bit Wine"             without32  0     0         0 \
  rc=0 'out~^== \[6/6\] ' "$(fallback "Wine's 32-bit side is not installed \\(Debian's wine32:i386\\)")" \
  'calls~^wine64 msiexec /i Z:.*Menuvane-7\.0\.0-x64\.msi /qn$' \
  'calls~^wine64 reg add .*App Paths.MSACCESS\.EXE /ve /d C:.Program Files.Microsoft Office.root.Office16.MSACCESS\.EXE /reg:64 /f$' \
  'calls~^wine64 build/mingw-x86_64/tools/pellwyn-preview\.exe --context table-datasheet' \
  'calls~^wine64 build/mingw-x86_64/tools/pellwyn-preview\.exe --context form-design' \
  "out~^$access64$" 'out!32-bit stand-in' 'calls!^wine |Menuvane-7\.0\.0\.exe|mingw-i686/tools'
check "run, without 32-bit Wine: says so in one line" test "$(grep -c 'cannot run here' "$T/out")" -eq 1
run_case "a 32-bit loader that cannot start" noexec   0     0         0 \
  rc=0 "$(fallback "this kernel runs no 32-bit programs, and no emulator is registered for them \\(scripts/setup\\.sh registers QEMU's\\)")" \
  'calls~^wine64 msiexec' 'calls!^wine '
run_case "without 32-bit Wine, msiexec failing" without32 0 0         67 \
  rc=1 'err~^msiexec failed$' 'calls!pellwyn-preview'
run_case "with 32-bit Wine, setup failing" with32     0     4         0 \
  rc=1 'err~^setup failed$' 'calls!pellwyn-preview|msiexec'
run_case "setup.sh failing"                with32     1     0         0 \
  rc=1 'calls~^setup\.sh$' 'calls!cmake|wine'

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
