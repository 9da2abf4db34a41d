#!/usr/bin/env bash
# The main job: sets everything up, builds everything, and shows what an Access 2007 user gets:
# the one installer, run silently in a fresh Wine prefix (64-bit Windows with its 32-bit side)
# where a 32-bit Access is registered, installs the 32-bit build, and the 32-bit preview shows
# the Classic tab from it as Access would for a table in Datasheet view and a form in Design view.
# Setup makes 32-bit programs run, through QEMU's user-mode emulator where the kernel runs none.
# Where even that fails (no wine32:i386, no binfmt_misc, no emulator to be had), it shows the
# 64-bit build beside a 64-bit Access instead, installed by its per-machine package: the
# installer is a 32-bit program. The first run installs packages and builds from scratch:
# several minutes.
# WINE_LOADER_DIR: where Wine's loaders wine and wine64 are (Debian's /usr/lib/wine unless set).
set -euo pipefail
cd "$(dirname "$0")/.."
wine_dir="${WINE_LOADER_DIR:-/usr/lib/wine}"

step=0
say() { step=$((step + 1)); printf '\n== [%d/6] %s\n' "$step" "$*"; }

say "Installing the Debian packages that are missing (the first time this takes a few minutes)"
scripts/setup.sh

say "Building the portable core, pellwyn-markup, the unit tests and benchmarks (native)"
cmake --preset native >/dev/null
cmake --build --preset native

say "Building Menuvane.exe, Pellwyn.dll, the installer and the preview (Windows, 32- and 64-bit)"
# The 32-bit build first: the one installer, made by the 64-bit build, carries both.
for preset in mingw-i686 mingw-x86_64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
installer=$(ls build/mingw-x86_64/Menuvane-*.exe)
ls -l "$installer"

say "Making a fresh Wine prefix: a private 64-bit Windows, with its 32-bit side where it can have one (about ten seconds)"
W="$wine_dir/wine"  # Wine's 32-bit loader: runs 32- and 64-bit programs alike
can32=1
why=$(scripts/wine-run --can-run-32-bit) || can32=0
if [ "$can32" = 0 ]; then
  W="$wine_dir/wine64"
  echo "32-bit Windows programs cannot run here ($why): showing the 64-bit build beside a 64-bit Access instead, installed by its per-machine package with msiexec, as the installer is a 32-bit program"
fi
export WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/menuvane-run.XXXXXX")"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
"$W" wineboot -i >/dev/null 2>&1 || true
wineserver -w
echo "prefix: $WINEPREFIX"

if [ "$can32" = 1 ]; then
  # What an Access 2007 user has: a 32-bit Access, which App Paths names; a stand-in for it.
  mkdir -p "$WINEPREFIX/drive_c/Program Files (x86)/Microsoft Office/Office12"
  cp build/mingw-i686/tests/win/options/standin/MSACCESS.exe \
     "$WINEPREFIX/drive_c/Program Files (x86)/Microsoft Office/Office12/MSACCESS.EXE"
  "$W" reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\MSACCESS.EXE' /ve \
    /d 'C:\Program Files (x86)\Microsoft Office\Office12\MSACCESS.EXE' /reg:32 /f >/dev/null
  say "Installing $(basename "$installer") silently (/S) beside a 32-bit Access: it picks the 32-bit build"
  status=0
  "$W" "$installer" /S || status=$?
  wineserver -w
  echo "setup's exit code: $status"
  [ "$status" -eq 0 ] || { echo "setup failed" >&2; exit 1; }
  "$W" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Menuvane' /v DisplayName 2>/dev/null |
    tr -d '\r' | sed '/^$/d'
  "$W" reg query 'HKCU\Software\Microsoft\Office\Access\AddIns\Kavrel.Connect' 2>/dev/null | tr -d '\r' | sed '/^$/d'
  preview=build/mingw-i686/tools/pellwyn-preview.exe bits=32
else
  # What a 64-bit Office user has: a 64-bit Access (Microsoft 365's folder), which App Paths names.
  mkdir -p "$WINEPREFIX/drive_c/Program Files/Microsoft Office/root/Office16"
  cp build/mingw-x86_64/tests/win/options/standin/MSACCESS.exe \
     "$WINEPREFIX/drive_c/Program Files/Microsoft Office/root/Office16/MSACCESS.EXE"
  "$W" reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\MSACCESS.EXE' /ve \
    /d 'C:\Program Files\Microsoft Office\root\Office16\MSACCESS.EXE' /reg:64 /f >/dev/null
  msi=$(ls build/mingw-x86_64/Menuvane-*-x64.msi)
  say "Installing $(basename "$msi") silently (msiexec /qn) beside a 64-bit Access: the 64-bit build, for every user"
  status=0
  "$W" msiexec /i "$("$W" winepath -w "$msi" | tr -d '\r')" /qn || status=$?
  wineserver -w
  echo "msiexec's exit code: $status"
  [ "$status" -eq 0 ] || { echo "msiexec failed" >&2; exit 1; }
  "$W" reg query 'HKLM\Software\Microsoft\Office\Access\AddIns\Kavrel.Connect' /reg:64 2>/dev/null |
    tr -d '\r' | sed '/^$/d'
  preview=build/mingw-x86_64/tools/pellwyn-preview.exe bits=64
fi

say "The Classic tab as Access shows it, from the installed add-in (the $bits-bit pellwyn-preview)"
for context in table-datasheet form-design; do
  printf '\n----- %s -----\n' "$context"
  "$W" "$preview" --context "$context" --then 1500:form-view --then 3000:"$context" --watch 4.5
done
