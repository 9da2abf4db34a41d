#!/usr/bin/env bash
# An installer under Wine, in a fresh prefix, as a user would meet it: a silent install,
# the preview loading the add-in it installed, an uninstaller that refuses while Access holds
# the add-in, and an uninstall that leaves nothing of ours behind.
#   installer_test.sh INSTALLER PREVIEW_EXE HOLD_ADDIN_EXE     (run it under a display)
set -uo pipefail
installer="$1" preview="$2" holder="$3"

W=/usr/bin/wine  # runs 32- and 64-bit programs alike
export WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/installer-test.XXXXXX")"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"' EXIT

. "$(dirname "$0")/checks.sh"

"$W" wineboot -i >/dev/null 2>&1
wineserver -w
programs="$("$W" cmd /c 'echo %LOCALAPPDATA%\Programs' 2>/dev/null | tr -d '\r')"
installdir="$programs\\Menuvane"
unixdir="$("$W" winepath -u "$installdir" 2>/dev/null | tr -d '\r')"
startmenu="$("$W" winepath -u "$("$W" cmd /c 'echo %APPDATA%' | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs\\Menuvane" | tr -d '\r')"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Menuvane'
addin_key='HKCU\Software\Microsoft\Office\Access\AddIns\Kavrel.Connect'
settings_key='HKCU\Software\VB and VBA Program Settings\Kestrelby\Menuvane'

echo "== a silent install (a choice stored earlier must survive it)"
"$W" reg add "$settings_key" /v All /d 0 /f >/dev/null
"$W" "$installer" /S
status=$?
wineserver -w
check "the installer succeeds" test "$status" -eq 0
for f in Menuvane.exe Pellwyn.dll "Uninstall Menuvane.exe"; do
  check "$f is in $installdir" test -f "$unixdir/$f"
done
check "Start menu: Menuvane" test -f "$startmenu/Menuvane.lnk"
check "Start menu: Uninstall Menuvane" test -f "$startmenu/Uninstall Menuvane.lnk"
check "Add/Remove Programs: name" value_is "$uninstall_key" DisplayName Menuvane
check "Add/Remove Programs: version" value_is "$uninstall_key" DisplayVersion 7.0.0
check "Add/Remove Programs: publisher" value_is "$uninstall_key" Publisher "Team Kestrelby"
check "Add/Remove Programs: quoted uninstall string" \
  value_is "$uninstall_key" UninstallString "\"${installdir//\\/\\\\}\\\\Uninstall Menuvane.exe\""
check "the add-in is registered for Access (LoadBehavior 3)" value_is "$addin_key" LoadBehavior 0x3
check "the add-in's COM class is registered" has_key 'HKCR\Kavrel.Connect\CLSID'
check "a setting the user had chosen is kept" value_is "$settings_key" All 0
check "a setting not chosen yet gets its default" value_is "$settings_key" Classic 1

echo "== the preview loads the installed add-in"
"$W" "$preview" --context form-design --watch 4.5 >"$WINEPREFIX/form.txt" 2>&1
check "the preview of a form in Design view succeeds" test $? -eq 0
check "it loaded the installed Pellwyn.dll" contains "$WINEPREFIX/form.txt" "from $installdir\\Pellwyn.dll"
check "the Controls group shows for a form in Design view" contains "$WINEPREFIX/form.txt" 'Group "Controls"'$'\n'
check "no All menu (the kept setting)" lacks "$WINEPREFIX/form.txt" "Menu bar: All"
check "the add-in refreshes every two seconds" contains "$WINEPREFIX/form.txt" "Refresh: 2 invalidations in 4.5 s"
"$W" "$preview" --context table-datasheet --watch 0 >"$WINEPREFIX/table.txt" 2>&1
check "the Controls group hides for a table in Datasheet view" contains "$WINEPREFIX/table.txt" 'Group "Controls": hidden here'
check "the Records menu shows for a table" contains "$WINEPREFIX/table.txt" "  Records"$'\n'

echo "== the uninstaller refuses while Access runs"
refuses_while() {  # refuses_while HOLDER-ARGUMENTS...: the uninstaller says 4 (Access runs), removes nothing
  rm -f "$WINEPREFIX/ready"
  "$W" "$holder" "$@" 'Z:'"${WINEPREFIX//\//\\}"'\ready' 20 &
  local pid=$!
  for _ in $(seq 100); do [ -f "$WINEPREFIX/ready" ] && break; sleep 0.2; done
  "$W" "$unixdir/Uninstall Menuvane.exe" /S "_?=$installdir"  # in place, so its exit code is its own
  local code=$?
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  wineserver -w
  [ -f "$WINEPREFIX/ready" ] && [ "$code" -eq 4 ] && [ -f "$unixdir/Pellwyn.dll" ] && has_key "$addin_key"
}
check "with Access's main window open" refuses_while --window
check "with the add-in loaded" refuses_while --load "$installdir\\Pellwyn.dll"

echo "== the uninstall"
"$W" "$unixdir/Uninstall Menuvane.exe" /S
wineserver -w  # the uninstaller runs on from a copy of itself: wait for every process
check "the program folder is gone" test ! -e "$unixdir"
check "the Start menu folder is gone" test ! -e "$startmenu"
check "the Add/Remove Programs entry is gone" no_key "$uninstall_key"
check "the add-in key is gone" no_key "$addin_key"
check "the settings are gone" no_key 'HKCU\Software\VB and VBA Program Settings\Kestrelby'
check "the COM class is gone" no_key 'HKCR\Kavrel.Connect'
check "no CLSID of ours is left" no_key 'HKCR\CLSID\{F262C37B-43CE-4FB1-A06D-66A868FC5D3B}'

finish
