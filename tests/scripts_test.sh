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
# rc=N (its exit code).
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
    # All or nothing, as apt does.
    for p in "${args[@]:1}"; do
      reason=$(awk -v p="$p" '$1 == p { $1 = ""; sub(/^ /, ""); print; exit }' "$STATE/broken")
      [ -z "$reason" ] || { echo "E: $reason" >&2; exit 100; }
    done
    for p in "${args[@]:1}"; do grep -vxF -- "$p" "$STATE/absent" >"$STATE/absent.new"; mv "$STATE/absent.new" "$STATE/absent"; done ;;
esac
EOF

# setup_case NAME ABSENT BROKEN UPDATE I386 EXPECTATION...: runs setup.sh with the packages
# ABSENT not installed, BROKEN ("PACKAGE=REASON" or -) not installable, UPDATE as above, and
# Debian's i386 architecture already added or not.
setup_case() {
  local name="$1" absent="$2" broken="$3" update="$4" i386="$5"; shift 5
  : >"$STATE/calls"
  [ "$absent" = - ] && : >"$STATE/absent" || tr ' ' '\n' <<<"$absent" >"$STATE/absent"
  [ "$broken" = - ] && : >"$STATE/broken" || echo "${broken/=/ }" >"$STATE/broken"
  echo "$update" >"$STATE/update"
  [ "$i386" = yes ] && echo i386 >"$STATE/architectures" || : >"$STATE/architectures"
  rc=0
  PATH="$T/bin:$PATH" SETUP_UPDATE_PAUSE=0 "$src/scripts/setup.sh" >"$T/stdout" 2>"$T/stderr" </dev/null || rc=$?
  expect "setup, $name" "$@"
}

index='http://mirror\.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages\.xz'
breaks='Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages.'
#          case                                   absent             broken                                    update  i386
setup_case "everything installed"                 -                  -                                         always  yes \
  rc=0 'out~^setup: all [0-9]+ packages are installed$' 'calls!apt-get' 'calls!--add-architecture'
setup_case "one index failing, no wine32"         "xvfb wine32:i386" "wine32:i386=$breaks"                     always  no \
  rc=0 updates=3 installed=xvfb 'calls~^dpkg --add-architecture i386$' \
  'calls~^apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=120 xvfb$' \
  "out~^setup: package index $index \(File has unexpected size \(374820 != 376004\)\. Mirror sync in progress\?\) could not be refreshed after 3 tries; going on with the package lists apt has$" \
  'out~^setup: wine32:i386 cannot be installed here \(Error, pkgProblemResolver::Resolve generated breaks.*\); the 32-bit Wine tests will report themselves skipped' \
  'out!\[IP:' 'out!cannot install xvfb'
setup_case "one index failing once"               xauth              -                                         1       yes \
  rc=0 updates=2 installed=xauth 'out~^setup: apt-get update failed \(try 1 of 3\); trying again' \
  'out!could not be refreshed' 'calls!--add-architecture' 'calls!wine32'
setup_case "a package the project needs missing"  "nsis xvfb"        "nsis=Unable to locate package nsis"      always  yes \
  rc=1 installed=xvfb 'out~^setup: cannot install nsis \(Unable to locate package nsis\)$' \
  'err~needs nsis, which could not be installed: run scripts/setup.sh again later .*apt-get install nsis\)$' \
  'err!xvfb'
setup_case "apt-get update failing otherwise"     gettext            -                                         lock    yes \
  rc=0 updates=3 installed=gettext \
  'out~^setup: apt-get update failed 3 times \(Could not get lock /var/lib/apt/lists/lock\. It is held by process 4242 \(apt-get\)\); going on'
setup_case "only wine32 missing, and installable" wine32:i386        -                                         0       yes \
  rc=0 updates=1 installed=wine32:i386 'calls!--add-architecture' 'out!cannot|failed'

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
  rc=0 "$(fallback 'this kernel cannot run 32-bit programs')" 'calls~^wine64 msiexec' 'calls!^wine '
run_case "without 32-bit Wine, msiexec failing" without32 0 0         67 \
  rc=1 'err~^msiexec failed$' 'calls!pellwyn-preview'
run_case "with 32-bit Wine, setup failing" with32     0     4         0 \
  rc=1 'err~^setup failed$' 'calls!pellwyn-preview|msiexec'
run_case "setup.sh failing"                with32     1     0         0 \
  rc=1 'calls~^setup\.sh$' 'calls!cmake|wine'

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
