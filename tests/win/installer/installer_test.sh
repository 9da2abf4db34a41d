#!/usr/bin/env bash
# The one installer under Wine, in one fresh WoW64 prefix (64-bit Windows with its 32-bit side),
# as users meet it: in Windows' display language, with no Access, a 64-bit and a 32-bit Access
# (stand-ins that App Paths names), over earlier installs of either bitness and over the mixed
# install that running one single-bitness setup over the other left, with /BITNESS, refusing
# while Access runs, and an uninstall that leaves nothing of ours in either registry view.
#   installer_test.sh INSTALLER PREVIEW_64 PREVIEW_32 HOLD_ADDIN_64 [VERIFY]   (under a display)
# VERIFY, for a signed build: its command that verifies signatures (VERIFY verify FILE...).
set -uo pipefail
installer="$1" preview64="$2" preview32="$3" holder="$4" verify="${5:-}"

. "$(dirname "$0")/checks.sh"
programs="$("$W" cmd /c 'echo %LOCALAPPDATA%\Programs' 2>/dev/null | tr -d '\r')"
at() {  # at WINDOWS-FOLDER: where the install is, for Wine and for this script
  installdir="$1"
  unixdir="$("$W" winepath -u "$installdir" 2>/dev/null | tr -d '\r')"
}
at "$programs\\Menuvane"
startmenu="$("$W" winepath -u "$("$W" cmd /c 'echo %APPDATA%' | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs\\Menuvane" | tr -d '\r')"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Menuvane'
addin_key='HKCU\Software\Microsoft\Office\Access\AddIns\Kavrel.Connect'
settings_key='HKCU\Software\VB and VBA Program Settings\Kestrelby\Menuvane'
class='HKCR\CLSID\{F262C37B-43CE-4FB1-A06D-66A868FC5D3B}'
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\MSACCESS.EXE'

# Stand-ins for Access: the installer reads only their PE header.
mkdir -p "$WINEPREFIX/drive_c/Office32" "$WINEPREFIX/drive_c/Office64"
cp "$preview32" "$WINEPREFIX/drive_c/Office32/MSACCESS.EXE"
cp "$preview64" "$WINEPREFIX/drive_c/Office64/MSACCESS.EXE"
access() { "$W" reg add "$app_paths" /ve /d "C:\\Office$1\\MSACCESS.EXE" /f >/dev/null; }

# Office's disabled items: item_hex PATH NAME is one add-in entry as Office writes it, in reg.exe's
# hex (the kind 1, the byte lengths of path and name with their NULs, both in UTF-16LE with their
# NULs); disable VERSION VALUE HEX adds it; values_of VERSION lists the value names left.
utf16_hex() { printf '%s\0' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -d ' \n'; }
le32_hex() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
item_hex() {
  local path name; path=$(utf16_hex "$1"); name=$(utf16_hex "$2")
  echo "$(le32_hex 1)$(le32_hex $((${#path} / 2)))$(le32_hex $((${#name} / 2)))$path$name"
}
disabled_items() { echo "HKCU\\Software\\Microsoft\\Office\\$1\\Access\\Resiliency\\DisabledItems"; }
disable() { "$W" reg add "$(disabled_items "$1")" /v "$2" /t REG_BINARY /d "$3" /f >/dev/null; }
values_of() { "$W" reg query "$(disabled_items "$1")" 2>/dev/null | tr -d '\r' | awk '$2 ~ /^REG_/ {print $1}' | sort | xargs; }

# installs CODE BITS [SWITCHES...]: a silent install; its exit code, and one consistent install
# of the BITS-bit build: both files, the class in that registry view only, naming the DLL, the
# preview of that bitness loading it and the other one failing to, and an Add/Remove Programs
# entry that names the build.
other() { echo $((96 - $1)); }
installs() {
  local code="$1" bits="$2"; shift 2
  "$W" "$installer" /S "$@"
  local status=$?
  wineserver -w
  check "the installer says $code" test "$status" -eq "$code"
  check "Pellwyn.dll and Menuvane.exe are the $bits-bit build" \
    test "$(bits_of "$unixdir/Pellwyn.dll") $(bits_of "$unixdir/Menuvane.exe")" = "$bits $bits"
  check "the $bits-bit class names the installed DLL" \
    test "$(default_of "$class\\InprocServer32" /reg:"$bits")" = "$installdir\\Pellwyn.dll"
  check "no $(other "$bits")-bit class" no_key "$class" /reg:"$(other "$bits")"
  check "Add/Remove Programs: Menuvane ($bits-bit)" value_is "$uninstall_key" DisplayName "Menuvane \\($bits-bit\\)"
  check "Add/Remove Programs: where" value_is "$uninstall_key" InstallLocation "${installdir//\\/\\\\}"
  check "the add-in is registered for Access (LoadBehavior 3)" value_is "$addin_key" LoadBehavior 0x3
  [ -z "$verify" ] || check "the files setup wrote are signed, the uninstaller too" \
    "$verify" verify "$unixdir/Pellwyn.dll" "$unixdir/Menuvane.exe" "$unixdir/Uninstall Menuvane.exe"
  local preview=preview$bits wrong=preview$(other "$bits")
  "$W" "${!preview}" --context table-datasheet --watch 0 >"$WINEPREFIX/right.txt" 2>&1
  check "the $bits-bit preview loads it" contains "$WINEPREFIX/right.txt" "from $installdir\\Pellwyn.dll"
  "$W" "${!wrong}" --context table-datasheet --watch 0 >"$WINEPREFIX/wrong.txt" 2>&1
  check "the $(other "$bits")-bit preview cannot" contains "$WINEPREFIX/wrong.txt" "could not create Kavrel.Connect (0x80040154)"
}

echo "== in Windows' display language: its translation, the sublanguage's, or English"
# Wine's display language follows the locale: made here, as Debian has none but C.
locales="$WINEPREFIX/locales"
mkdir -p "$locales"
for l in de_DE de_AT zh_HK pt_PT el_GR ca_ES cy_GB; do localedef -i "$l" -f UTF-8 "$locales/$l.UTF-8" 2>/dev/null; done
# says LOCALE CAPTION TEXT [HOLDER-ARGUMENTS -- ] PROGRAM ARGUMENTS...: the program, not silent, in
# that locale, refuses in a message box with that caption (NSIS's own words) and text (ours, as
# Wine's trace prints it), and ends with 2 or 4 once the box is closed.
says() {
  local locale="$1" caption="$2" text="$3" holder_pid="" box="" code; shift 3
  if [ "$1" = --window ]; then
    rm -f "$WINEPREFIX/ready"
    "$W" "$holder" --window 'Z:'"${WINEPREFIX//\//\\}"'\ready' 20 &
    holder_pid=$!
    for _ in $(seq 100); do [ -f "$WINEPREFIX/ready" ] && break; sleep 0.2; done
    shift 2
  fi
  LOCPATH="$locales" LC_ALL="$locale" WINEDEBUG=+msgbox "$W" "$@" 2>"$WINEPREFIX/box.txt" &
  local pid=$!
  for _ in $(seq 60); do box=$(xdotool search --name "^$caption\$" 2>/dev/null | head -1); [ -n "$box" ] && break; sleep 0.5; done
  [ -z "$box" ] || xdotool key --window "$box" Return
  [ -n "$box" ] || kill "$pid" 2>/dev/null
  wait "$pid"; code=$?
  [ -z "$holder_pid" ] || { kill "$holder_pid" 2>/dev/null; wait "$holder_pid" 2>/dev/null; }
  wineserver -w
  [ -n "$box" ] && { [ "$code" -eq 2 ] || [ "$code" -eq 4 ]; } &&
    grep -qF "MSGBOX_OnInit L\"$text" "$WINEPREFIX/box.txt"
}
check "German: NSIS's words and ours" \
  says de_DE.UTF-8 "Installation von Menuvane" "/BITNESS= akzeptiert 32 oder 64, nicht " "$installer" /BITNESS=16
check "Austrian German reads German" \
  says de_AT.UTF-8 "Installation von Menuvane" "/BITNESS= akzeptiert 32 oder 64" "$installer" /BITNESS=16
check "Portuguese of Portugal, not of Brazil" \
  says pt_PT.UTF-8 "Instalação de Menuvane" "/BITNESS= aceita" "$installer" /BITNESS=16
check "Hong Kong reads Traditional Chinese" \
  says zh_HK.UTF-8 "Menuvane 安裝" '/BITNESS= \53ea\63a5\53d7 32 \6216 64\ff0c\800c' "$installer" /BITNESS=16
check "Greek reads Greek" \
  says el_GR.UTF-8 "Εγκατάσταση του 'Menuvane'" '\03a4\03bf /BITNESS= \03b4\03ad\03c7\03b5\03c4\03b1\03b9 32 \03ae 64' \
  "$installer" /BITNESS=16
check "Catalan, a language interface pack, reads its base language, Spanish" \
  says ca_ES.UTF-8 "Instalación de Menuvane" "/BITNESS= admite 32 o 64" "$installer" /BITNESS=16
check "Welsh, a language interface pack on English: English" \
  says cy_GB.UTF-8 "Menuvane Setup" '/BITNESS= takes 32 or 64, not \"16\".' "$installer" /BITNESS=16
check "nothing was installed" test ! -e "$unixdir"

echo "== no Access: the 32-bit build, exit code 5 (a choice stored earlier must survive); Office had switched it off"
"$W" reg add "$settings_key" /v All /d 0 /f >/dev/null
ours="$(item_hex "${installdir,,}\\pellwyn.dll" Menuvane)"
disable 12.0 a1 "$ours"
disable 16.0 b2 "$(item_hex 'c:\program files\menuvane\pellwyn.dll' Menuvane)"
disable 15.0 C3 "$(item_hex 'C:\OLD\MENUVANE\PELLWYN.DLL' Menuvane)"
disable 16.0 other "$(item_hex 'c:\program files\other\other.dll' Other)"
disable 16.0 garbage "${ours%????}"  # two bytes short
installs 5 32
check "our disabled items are gone (12.0, 15.0)" test -z "$(values_of 12.0)$(values_of 15.0)"
check "only our disabled items are gone (16.0)" test "$(values_of 16.0)" = "garbage other"
check "Uninstall Menuvane.exe is in $installdir" test -f "$unixdir/Uninstall Menuvane.exe"
check "Start menu: Menuvane" test -f "$startmenu/Menuvane.lnk"
check "Start menu: Uninstall Menuvane" test -f "$startmenu/Uninstall Menuvane.lnk"
check "Add/Remove Programs: version" value_is "$uninstall_key" DisplayVersion 7.0.0
check "Add/Remove Programs: publisher" value_is "$uninstall_key" Publisher "Team Kestrelby"
check "Add/Remove Programs: quoted uninstall string" \
  value_is "$uninstall_key" UninstallString "\"${installdir//\\/\\\\}\\\\Uninstall Menuvane.exe\""
check "a setting the user had chosen is kept" value_is "$settings_key" All 0
check "a setting not chosen yet gets its default" value_is "$settings_key" Classic 1

echo "== Access 2007's build, as Access would show it"
"$W" "$preview32" --context form-design --then 1000:table-datasheet --watch 2.5 >"$WINEPREFIX/form.txt" 2>&1
check "the preview of a form in Design view succeeds" test $? -eq 0
check "the Controls group shows for a form in Design view" contains "$WINEPREFIX/form.txt" 'Group "Controls"'$'\n'
check "no All menu (the kept setting)" lacks "$WINEPREFIX/form.txt" "Menu bar: All"
check "the tab follows a table within a second" \
  contains "$WINEPREFIX/form.txt" "table-datasheet: the tab followed after 0."
check "and no redraw while nothing changes" contains "$WINEPREFIX/form.txt" ": 0 redraws,"
"$W" "$preview32" --context table-datasheet --watch 0 >"$WINEPREFIX/table.txt" 2>&1
check "the Controls group hides for a table in Datasheet view" contains "$WINEPREFIX/table.txt" 'Group "Controls": hidden here'
check "the Records menu shows for a table" contains "$WINEPREFIX/table.txt" "  Records"$'\n'

echo "== a 64-bit Access: the 64-bit build replaces the 32-bit one, and re-enables it too"
access 64
disable 16.0 d4 "$ours"
installs 0 64
check "only our disabled item is gone again (16.0)" test "$(values_of 16.0)" = "garbage other"
check "the settings are kept" value_is "$settings_key" All 0

echo "== setup and uninstaller refuse while Access runs"
refuses_while() {  # refuses_while HOLDER-ARGUMENTS... -- PROGRAM ARGUMENTS...: says 4, changes nothing
  local hold=()
  while [ "$1" != -- ]; do hold+=("$1"); shift; done
  shift
  rm -f "$WINEPREFIX/ready"
  "$W" "$holder" "${hold[@]}" 'Z:'"${WINEPREFIX//\//\\}"'\ready' 20 &
  local pid=$!
  for _ in $(seq 100); do [ -f "$WINEPREFIX/ready" ] && break; sleep 0.2; done
  "$W" "$@"
  local code=$?
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  wineserver -w
  [ -f "$WINEPREFIX/ready" ] && [ "$code" -eq 4 ] && [ "$(bits_of "$unixdir/Pellwyn.dll")" = 64 ] &&
    has_key "$addin_key" && has_key "$class" /reg:64
}
uninstaller=("$unixdir/Uninstall Menuvane.exe" /S "_?=$installdir")  # in place: its exit code is its own
check "setup, with Access's main window open" refuses_while --window -- "$installer" /S /BITNESS=32
check "the uninstaller, with Access's main window open" refuses_while --window -- "${uninstaller[@]}"
check "the uninstaller, with the add-in loaded" refuses_while --load "$installdir\\Pellwyn.dll" -- "${uninstaller[@]}"
check "the uninstaller says so in German" says de_DE.UTF-8 "Deinstallation von Menuvane" \
  "Microsoft Access wird ausgef" --window -- "$unixdir/Uninstall Menuvane.exe" "_?=$installdir"
check "(and changed nothing)" test "$(bits_of "$unixdir/Pellwyn.dll")" = 64
"$W" "$installer" /S /BITNESS=16
check "a /BITNESS that is neither 32 nor 64 aborts (2), changing nothing" \
  test $? -eq 2 -a "$(bits_of "$unixdir/Pellwyn.dll")" = 64

echo "== a 32-bit Access, and another folder: the 32-bit build, the earlier folder gone"
cp "$unixdir/Pellwyn.dll" "$WINEPREFIX/Pellwyn64.dll"
access 32
earlier="$unixdir"
at 'C:\Tools\Menuvane'  # no blank: Wine would quote the argument, and NSIS takes /D= unquoted
installs 0 32 "/D=$installdir"
check "the earlier folder is gone" test ! -e "$earlier"

echo "== over the mixed install a 64-bit setup leaves over a 32-bit one, /BITNESS=64 despite Access"
cp "$WINEPREFIX/Pellwyn64.dll" "$unixdir/Pellwyn.dll"
"$W" 'C:\windows\system32\regsvr32.exe' /s "$installdir\\Pellwyn.dll"
wineserver -w
check "(before: a 32-bit class naming the 64-bit DLL)" \
  test "$(default_of "$class\\InprocServer32" /reg:32)" = "$installdir\\Pellwyn.dll"
installs 0 64 /BITNESS=64

echo "== the uninstall (with a 32-bit class naming our DLL too, as a single-bitness setup leaves one)"
"$W" reg add "$class\\InprocServer32" /ve /d "$installdir\\Pellwyn.dll" /reg:32 /f >/dev/null
"$W" "$unixdir/Uninstall Menuvane.exe" /S
wineserver -w  # the uninstaller runs on from a copy of itself: wait for every process
check "the program folder is gone" test ! -e "$unixdir"
check "the Start menu folder is gone" test ! -e "$startmenu"
check "the Add/Remove Programs entry is gone" no_key "$uninstall_key"
check "the add-in key is gone" no_key "$addin_key"
check "the settings are gone" no_key 'HKCU\Software\VB and VBA Program Settings\Kestrelby'
for view in 32 64; do
  check "no class of ours in the $view-bit view" no_key "$class" /reg:$view
  check "no ProgID of ours in the $view-bit view" no_key 'HKCR\Kavrel.Connect' /reg:$view
done

finish
