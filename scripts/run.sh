#!/usr/bin/env bash
# The main job: sets everything up, builds everything, installs the 64-bit build with its real
# installer into a fresh Wine prefix (silently, as an administrator would deploy it), and shows
# the Classic tab as Access would for a table in Datasheet view and a form in Design view.
# The first run installs packages and builds from scratch: several minutes.
set -euo pipefail
cd "$(dirname "$0")/.."

step=0
say() { step=$((step + 1)); printf '\n== [%d/6] %s\n' "$step" "$*"; }

say "Installing the Debian packages that are missing (the first time this takes a few minutes)"
scripts/setup.sh

say "Building the portable core, pellwyn-markup, the unit tests and benchmarks (native)"
cmake --preset native >/dev/null
cmake --build --preset native

say "Building Menuvane.exe, Pellwyn.dll, the installers and the preview (Windows, 64- and 32-bit)"
for preset in mingw-x86_64 mingw-i686; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
ls -l build/mingw-x86_64/Menuvane-*-x64.exe build/mingw-i686/Menuvane-*-x86.exe

say "Making a fresh Wine prefix: a private Windows for this run (about ten seconds)"
W=/usr/lib/wine/wine64
export WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/menuvane-run.XXXXXX")"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
"$W" wineboot -i >/dev/null 2>&1 || true
wineserver -w
echo "prefix: $WINEPREFIX"

installer=$(ls build/mingw-x86_64/Menuvane-*-x64.exe)
say "Installing $(basename "$installer") silently (/S): files, Start menu, add-in registration"
"$W" "$installer" /S
wineserver -w
"$W" reg query 'HKCU\Software\Microsoft\Office\Access\AddIns\Kavrel.Connect' 2>/dev/null | tr -d '\r' | sed '/^$/d'

say "The Classic tab as Access shows it, from the installed add-in (pellwyn-preview)"
preview=build/mingw-x86_64/tools/pellwyn-preview.exe
for context in table-datasheet form-design; do
  printf '\n----- %s -----\n' "$context"
  "$W" "$preview" --context "$context" --watch 4.5
done
