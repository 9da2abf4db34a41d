#!/usr/bin/env bash
# A per-machine package under Wine's own msiexec, in a fresh WoW64 prefix (64-bit Windows with
# its 32-bit side), as an administrator deploys it: a silent install, the class and Access's
# add-in entry for every user in the package's registry view, the add-in loading from that
# registration alone, a user's Menuvane registering and unregistering beside it, a second
# install, and a silent removal that leaves nothing of ours but what the user stored.
#   msi_test.sh PACKAGE BITS PREVIEW_EXE NEXT_PACKAGE [VERIFY]
# BITS: 32 or 64, the package's and the preview's; NEXT_PACKAGE: the same as a later version;
# VERIFY, for a signed build: its command that verifies signatures (VERIFY verify FILE...).
set -uo pipefail
package="$1" bits="$2" preview="$3" next="$4" verify="${5:-}"
other=$((96 - bits))

. "$(dirname "$0")/checks.sh"
msi="$("$W" winepath -w "$package" 2>/dev/null | tr -d '\r')"
next_msi="$("$W" winepath -w "$next" 2>/dev/null | tr -d '\r')"
if [ "$bits" = 64 ]; then
  installdir='C:\Program Files\Menuvane' regsvr32='C:\windows\system32\regsvr32.exe'
else
  installdir='C:\Program Files (x86)\Menuvane' regsvr32='C:\windows\syswow64\regsvr32.exe'
fi
unixdir="$("$W" winepath -u "$installdir" 2>/dev/null | tr -d '\r')"
class='HKLM\Software\Classes\CLSID\{F262C37B-43CE-4FB1-A06D-66A868FC5D3B}'
user_class='HKCU\Software\Classes\CLSID\{F262C37B-43CE-4FB1-A06D-66A868FC5D3B}'
progid='HKLM\Software\Classes\Kavrel.Connect'
machine_addin='HKLM\Software\Microsoft\Office\Access\AddIns\Kavrel.Connect'
user_addin='HKCU\Software\Microsoft\Office\Access\AddIns\Kavrel.Connect'
settings_key='HKCU\Software\VB and VBA Program Settings\Kestrelby\Menuvane'
msiexec() { "$W" msiexec "$@"; local s=$?; wineserver -w; return $s; }
uninstall_entries() {  # the Add/Remove Programs entries, in either view
  for view in 32 64; do "$W" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:$view; done |
    tr -d '\r'
}
entries() { uninstall_entries | grep -cE '^ +DisplayName +REG_SZ +Menuvane$'; }  # ours
shortcuts() {  # Wine's msiexec puts an all-users shortcut in the user's Start menu: look in both
  find "$WINEPREFIX/drive_c/users" "$WINEPREFIX/drive_c/ProgramData" -iname 'Menuvane.lnk' 2>/dev/null | wc -l
}

echo "== a silent per-machine install of $(basename "$package")"
msiexec /i "$msi" /qn
check "msiexec succeeds (0)" test $? -eq 0
check "Pellwyn.dll and Menuvane.exe are in $installdir, $bits-bit" \
  test "$(bits_of "$unixdir/Pellwyn.dll") $(bits_of "$unixdir/Menuvane.exe")" = "$bits $bits"
check "the class in the $bits-bit view names the installed DLL" \
  test "$(default_of "$class\\InprocServer32" /reg:"$bits")" = "$installdir\\Pellwyn.dll"
[ -z "$verify" ] || check "the files it installed are signed" \
  "$verify" verify "$unixdir/Pellwyn.dll" "$unixdir/Menuvane.exe"
check "its threading model" value_is "$class\\InprocServer32" ThreadingModel Apartment /reg:"$bits"
check "the ProgID names the class" \
  test "$(default_of "$progid\\CLSID" /reg:"$bits")" = '{F262C37B-43CE-4FB1-A06D-66A868FC5D3B}'
check "no class in the $other-bit view" no_key "$class" /reg:"$other"
check "Access's add-in entry for every user: LoadBehavior 3" value_is "$machine_addin" LoadBehavior 0x3 /reg:"$bits"
check "Access's add-in entry for every user: FriendlyName" value_is "$machine_addin" FriendlyName Menuvane /reg:"$bits"
check "nothing per user" no_key "$user_addin"
check "nothing per user (classes)" no_key "$user_class"
check "a Start menu shortcut" test "$(shortcuts)" -eq 1
check "one Add/Remove Programs entry" test "$(entries)" -eq 1

echo "== Access loads it from the per-machine registration alone"
"$W" "$preview" --context table-datasheet --then 1000:form-design --watch 2.5 >"$WINEPREFIX/tab.txt" 2>&1
check "the $bits-bit preview loads the installed DLL" contains "$WINEPREFIX/tab.txt" "from $installdir\\Pellwyn.dll"
check "and gets the Classic tab" contains "$WINEPREFIX/tab.txt" 'Tab "Classic"'
check "with the Records menu for a table" contains "$WINEPREFIX/tab.txt" "  Records"$'\n'
check "which follows a form in Design view within a second" \
  contains "$WINEPREFIX/tab.txt" "form-design: the tab followed after 0."
check "showing the Controls group" grep -qE "form-design: the tab followed .* shows Controls" "$WINEPREFIX/tab.txt"
check "and no redraw while nothing changes" contains "$WINEPREFIX/tab.txt" ": 0 redraws,"

echo "== a user's Menuvane beside it: OK registers, then unregisters (the Classic box cleared)"
"$W" "$regsvr32" /s "$installdir\\Pellwyn.dll"
check "registering succeeds" test $? -eq 0
wineserver -w
check "the user's class goes to the user's classes" has_key "$user_class"
check "the machine's class is unchanged" \
  test "$(default_of "$class\\InprocServer32" /reg:"$bits")" = "$installdir\\Pellwyn.dll"
"$W" reg add "$settings_key" /v Classic /d 0 /f >/dev/null
"$W" "$regsvr32" /u /s "$installdir\\Pellwyn.dll"
check "unregistering succeeds" test $? -eq 0
wineserver -w
check "the user's class is gone" no_key "$user_class"
check "the user's add-in entry is gone" no_key "$user_addin"
check "the machine's class stays" has_key "$class\\InprocServer32" /reg:"$bits"
check "the machine's add-in entry stays" value_is "$machine_addin" LoadBehavior 0x3 /reg:"$bits"
"$W" "$preview" --context table-datasheet --watch 0 >"$WINEPREFIX/off.txt" 2>&1
check "the Classic box cleared: no Classic tab for this user" contains "$WINEPREFIX/off.txt" "gives Access no Classic tab"

echo "== the same package again"
msiexec /i "$msi" /qn
code=$?
check "a second install succeeds, with nothing to do (0)" test "$code" -eq 0
check "still one Add/Remove Programs entry" test "$(entries)" -eq 1
check "the files are still there" test -f "$unixdir/Pellwyn.dll"

echo "== a later version replaces it in place"
msiexec /i "$next_msi" /qn
check "msiexec succeeds (0)" test $? -eq 0
check "one Add/Remove Programs entry" test "$(entries)" -eq 1
versions() { uninstall_entries | sed -n 's/^ *DisplayVersion *REG_SZ *//p' | grep -xE '7\.(0|99)\.0' | tr '\n' ' '; }
check "of the later version only" test "$(versions)" = "7.99.0 "
check "the files are there" test -f "$unixdir/Pellwyn.dll" -a -f "$unixdir/Menuvane.exe"
check "the class names them" test "$(default_of "$class\\InprocServer32" /reg:"$bits")" = "$installdir\\Pellwyn.dll"
check "Access's add-in entry for every user" value_is "$machine_addin" LoadBehavior 0x3 /reg:"$bits"

echo "== a silent removal"
msiexec /x "$next_msi" /qn
check "msiexec /x succeeds (0)" test $? -eq 0
check "the program folder is gone" test ! -e "$unixdir"
check "the shortcut is gone" test "$(shortcuts)" -eq 0
check "no Add/Remove Programs entry" test "$(entries)" -eq 0
for view in 32 64; do
  check "no class of ours in the $view-bit view" no_key "$class" /reg:$view
  check "no ProgID of ours in the $view-bit view" no_key "$progid" /reg:$view
  check "no add-in entry of ours in the $view-bit view" no_key "$machine_addin" /reg:$view
done
check "what the user stored stays" value_is "$settings_key" Classic 0

if [ "$bits" = 64 ] && "$(dirname "$0")/../../../scripts/wine-run" --can-run-32-bit >/dev/null; then
  echo "== on 32-bit Windows the 64-bit package is refused"
  WINEPREFIX="$WINEPREFIX/win32" WINEARCH=win32 /usr/lib/wine/wine wineboot -i >/dev/null 2>&1
  WINEPREFIX="$WINEPREFIX/win32" WINEARCH=win32 /usr/lib/wine/wine msiexec /i "$msi" /qn
  code=$?
  WINEPREFIX="$WINEPREFIX/win32" wineserver -w
  # 1633: this installation package is not supported on this processor type (Wine's exit code
  # keeps its low byte, 97)
  check "msiexec says 1633" test "$code" -eq 1633 -o "$code" -eq 97
  check "and installs nothing" test ! -e "$WINEPREFIX/win32/drive_c/Program Files/Menuvane"
  WINEPREFIX="$WINEPREFIX/win32" wineserver -k >/dev/null 2>&1
fi

finish
