; The per-user installer of Menuvane: Menuvane.exe and Pellwyn.dll side by side in
; %LOCALAPPDATA%\Programs\Menuvane, a Start menu folder, an Add/Remove Programs entry, and an
; uninstaller that leaves nothing of ours behind. No administrator rights needed.
;
; It carries both builds and installs the one the installed Access loads: a 32-bit Access
; (Access 2007, and the default of later versions) loads only the 32-bit Pellwyn.dll, a 64-bit
; Access only the 64-bit one. The bitness is read from the program file that App Paths names
; for MSACCESS.EXE; with no Access found it is the 32-bit build. /BITNESS=32 or /BITNESS=64
; chooses it instead. The installer itself is a 32-bit program: it runs on both kinds of Windows.
;
; makensis -DVERSION=<x.y.z> -DEXE32=<Menuvane.exe> -DDLL32=<Pellwyn.dll> -DEXE64=<Menuvane.exe>
;          -DDLL64=<Pellwyn.dll> -DICON=<.ico> -DOUTFILE=<installer>   (installer/CMakeLists.txt)
;          -DLANGUAGES=<menuvane_languages.nsh>
;          [-DSIGN=<command that signs a file in place and verifies it>]
;
; It speaks the language of Windows' display language when po/ has a translation for it, and
; English otherwise: the pages are NSIS's, our texts the LangStrings that po-compile makes from
; po/*.po (LANGUAGES). The files, registry values and shortcuts it writes are the same in every
; language.
Unicode true

!ifdef SIGN  ; the uninstaller is signed before the setup packs it, the setup once it is made
  !uninstfinalize '"${SIGN}" sign "%1"' = 0
  !finalize '"${SIGN}" sign "%1"' = 0
!endif

!define PRODUCT "Menuvane"
!define PUBLISHER "Team Kestrelby"
!define UNINSTALLER "Uninstall Menuvane.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Menuvane"
!define ADDIN_KEY "Software\Microsoft\Office\Access\AddIns\Kavrel.Connect"
!define SETTINGS_KEY "Software\VB and VBA Program Settings\Kestrelby\Menuvane"
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\MSACCESS.EXE"
!define CLSID "{F262C37B-43CE-4FB1-A06D-66A868FC5D3B}"
!define PROGID "Kavrel.Connect"
; Exit codes beyond NSIS's own (0 done, 1 cancelled, 2 aborted, also for a bad /BITNESS):
!define EXIT_REGSVR32_FAILED 3   ; installed, but the add-in could not be registered or re-enabled
!define EXIT_ACCESS_RUNNING 4    ; nothing done: Access holds the add-in
!define EXIT_NO_ACCESS 5         ; installed and registered: the 32-bit build, as no Access was found

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"  ; where an earlier install is
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

Var Bits        ; the build to install: 32 or 64
Var AccessBits  ; the bitness of the Access found, or empty
Var AccessPath  ; the program file of that Access
Var Why         ; why $Bits: asked (/BITNESS), found (the Access found) or none (no Access)
Var Reason      ; the same in words, for the finish page
Var Refusal     ; why setup or uninstaller refuses to go on (the name of its message), or empty
Var OldDir      ; the folder of an earlier install, or empty
Var Guessed     ; 1 when neither an Access nor /BITNESS chose the build

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Menuvane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(FinishRun)"
; The language chosen in .onInit applies once .onInit has ended (NSIS's rule): a refusal found
; there shows its box in .onGUIInit, and the finish page's words are made as it opens.
!define MUI_CUSTOMFUNCTION_GUIINIT ShowRefusal
!define MUI_CUSTOMFUNCTION_UNGUIINIT un.ShowRefusal

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_PRE FinishPagePre
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!include /CHARSET=UTF8 "${LANGUAGES}"  ; English first, then every translation; our texts in each

; A refusal: the exit code, and, unless silent (where no box shows), the message, which
; .onGUIInit shows in the setup's language before the setup ends. Returns from .onInit.
!macro Refuse message code
  SetErrorLevel ${code}
  ${If} ${Silent}
    Abort
  ${EndIf}
  StrCpy $Refusal ${message}
  Return
!macroend

Function ShowRefusal
  ${If} $Refusal == AccessRunning
    MessageBox MB_OK|MB_ICONSTOP "$(AccessRunning)"
  ${ElseIf} $Refusal == BadBitness
    MessageBox MB_OK|MB_ICONSTOP "$(BadBitness)"
  ${ElseIf} $Refusal == No64BitWindows
    MessageBox MB_OK|MB_ICONSTOP "$(No64BitWindows)"
  ${EndIf}
  ${If} $Refusal != ""
    Abort
  ${EndIf}
FunctionEnd

Function un.ShowRefusal
  ${If} $Refusal == AccessRunningUninstall
    MessageBox MB_OK|MB_ICONSTOP "$(AccessRunningUninstall)"
    Abort
  ${EndIf}
FunctionEnd

; The build installed and why, in words.
Function FinishPagePre
  ${If} $Why == asked
    StrCpy $Reason "$(ReasonAsked)"
    ${If} $AccessBits != ""
    ${AndIf} $AccessBits != $Bits
      StrCpy $Reason "$Reason$\r$\n$\r$\n$(ReasonMismatch)"
    ${EndIf}
  ${ElseIf} $Why == found
    StrCpy $Reason "$(ReasonFound)"
  ${Else}
    StrCpy $Reason "$(ReasonNoAccess)"
  ${EndIf}
FunctionEnd

; The finish page has room for a long path and for every language: MUI makes its text 40 dialog
; units tall, five lines, and the check box one line. The text gets the page down to 155u, the
; check box three lines at the page's foot (160u to 190u); both are measured from the text's
; height in pixels, so they follow the font and the screen's scaling. Uses $0 to $7.
Function FinishPageShow
  System::Call "*(i, i, i, i) p .r0"
  System::Call "user32::GetWindowRect(p $mui.FinishPage.Text, p r0)"
  System::Call "user32::MapWindowPoints(p 0, p $mui.FinishPage, p r0, i 2)"
  System::Call "*$0(i .r1, i .r2, i .r3, i .r4)"
  System::Free $0
  IntOp $3 $3 - $1  ; the width
  IntOp $4 $4 - $2  ; 40u in pixels; the text starts at 45u
  IntOp $5 $4 * 110
  IntOp $5 $5 / 40
  System::Call "user32::SetWindowPos(p $mui.FinishPage.Text, p 0, i 0, i 0, i r3, i r5, i 0x16)"  ; size only
  IntOp $6 $4 * 115
  IntOp $6 $6 / 40
  IntOp $6 $6 + $2
  IntOp $7 $4 * 30
  IntOp $7 $7 / 40
  System::Call "user32::SetWindowPos(p $mui.FinishPage.Run, p 0, i r1, i r6, i r3, i r7, i 0x14)"  ; place and size
FunctionEnd

; Access holds Pellwyn.dll while it runs: the file can then be neither replaced nor removed.
; Access's main window has the class OMain; a held DLL cannot be opened for writing.
!macro AccessIsRunning result dll
  StrCpy ${result} 0
  FindWindow $R9 "OMain"
  ${If} $R9 != 0
    StrCpy ${result} 1
  ${ElseIf} ${FileExists} "${dll}"
    ClearErrors
    FileOpen $R9 "${dll}" a
    ${If} ${Errors}
      StrCpy ${result} 1
    ${Else}
      FileClose $R9
    ${EndIf}
  ${EndIf}
!macroend

; What the installer and the uninstaller both need, once for each (NSIS keeps them apart).
!macro SharedFunctions un
  ; $0 a file: $1 is 32 or 64 from the machine field of its PE header, or empty when it is no
  ; program of either kind or cannot be read. Uses $2 to $8.
  Function ${un}PeBits
    StrCpy $1 ""
    ClearErrors
    FileOpen $2 "$0" r
    IfErrors done
    FileSeek $2 60  ; e_lfanew: where the PE header starts, 4 bytes little-endian
    FileReadByte $2 $3
    FileReadByte $2 $4
    FileReadByte $2 $5
    FileReadByte $2 $6
    IntOp $4 $4 << 8
    IntOp $5 $5 << 16
    IntOp $6 $6 << 24
    IntOp $3 $3 | $4
    IntOp $3 $3 | $5
    IntOp $3 $3 | $6
    FileSeek $2 $3
    FileReadByte $2 $3  ; "PE\0\0"
    FileReadByte $2 $4
    FileReadByte $2 $5
    FileReadByte $2 $6
    FileReadByte $2 $7  ; the machine, 2 bytes little-endian
    FileReadByte $2 $8
    ${IfNot} ${Errors}
    ${AndIf} "$3 $4 $5 $6" == "80 69 0 0"
      ${If} "$7 $8" == "76 1"  ; 0x014C, x86
        StrCpy $1 32
      ${ElseIf} "$7 $8" == "100 134"  ; 0x8664, x64
        StrCpy $1 64
      ${EndIf}
    ${EndIf}
    FileClose $2
   done:
  FunctionEnd

  ; regsvr32 of the bitness $0 (32 or 64), with the switches $1, on the DLL $2, by its full path
  ; in the system folder of that bitness, waited for. Sets $R8 to its exit code.
  Function ${un}Regsvr32
    ClearErrors
    ${If} $0 == 64
      ${DisableX64FSRedirection}  ; this 32-bit process would otherwise get syswow64's
      ExecWait '"$WINDIR\System32\regsvr32.exe" $1 "$2"' $R8
      ${EnableX64FSRedirection}
    ${ElseIf} ${RunningX64}
      ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" $1 "$2"' $R8
    ${Else}
      ExecWait '"$SYSDIR\regsvr32.exe" $1 "$2"' $R8
    ${EndIf}
    ${If} ${Errors}
      StrCpy $R8 "not started"
    ${EndIf}
  FunctionEnd

  ; $0 a DLL path: removes our class wherever one still names that file, in both registry views
  ; (32-bit classes live under Wow6432Node on 64-bit Windows), machine-wide and per user, and the
  ; ProgID once no class of ours is left. A class that names another file stays. Uses $1, $3.
  Function ${un}ForgetClasses
    StrCpy $3 0  ; classes that stay
    ${If} ${RunningX64}
      SetRegView 64
    ${EndIf}
    !insertmacro ForgetClassUnder HKLM "Software\Classes\CLSID"
    !insertmacro ForgetClassUnder HKCU "Software\Classes\CLSID"
    ${If} ${RunningX64}
      !insertmacro ForgetClassUnder HKLM "Software\Classes\Wow6432Node\CLSID"
      !insertmacro ForgetClassUnder HKCU "Software\Classes\Wow6432Node\CLSID"
    ${EndIf}
    ${If} $3 == 0
      DeleteRegKey HKLM "Software\Classes\${PROGID}"
      DeleteRegKey HKCU "Software\Classes\${PROGID}"
    ${EndIf}
    SetRegView default
  FunctionEnd
!macroend
!macro ForgetClassUnder root path
  ReadRegStr $1 ${root} "${path}\${CLSID}\InprocServer32" ""
  ${If} $1 == $0
    DeleteRegKey ${root} "${path}\${CLSID}"
  ${Else}
    ClearErrors
    EnumRegKey $1 ${root} "${path}\${CLSID}" 0
    ${IfNot} ${Errors}
      IntOp $3 $3 + 1
    ${EndIf}
  ${EndIf}
!macroend
!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

; A default for a setting the user has not chosen yet; a choice already stored is kept.
!macro DefaultSetting name value
  ClearErrors
  ReadRegStr $R9 HKCU "${SETTINGS_KEY}" "${name}"
  ${If} ${Errors}
    WriteRegStr HKCU "${SETTINGS_KEY}" "${name}" "${value}"
  ${EndIf}
!macroend

; $0 a path from an App Paths key: when it names a 32- or 64-bit program this Windows can run,
; that is the Access found.
Function AccessAt
  ${If} $AccessBits != ""
  ${OrIf} $0 == ""
    Return
  ${EndIf}
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
    StrCpy $1 $0 1 -1
    ${If} $1 == '"'
      StrCpy $0 $0 -1
    ${EndIf}
  ${EndIf}
  ExpandEnvStrings $0 $0
  Call PeBits
  ${If} $1 == 64
  ${AndIfNot} ${RunningX64}
    StrCpy $1 ""
  ${EndIf}
  ${If} $1 != ""
    StrCpy $AccessBits $1
    StrCpy $AccessPath $0
  ${EndIf}
FunctionEnd

; The Access the shell starts for "MSACCESS", in the shell's order: the user's App Paths entry,
; then the machine's, the 64-bit view before the 32-bit one.
Function FindAccess
  ReadRegStr $0 HKCU "${APP_PATHS_KEY}" ""
  Call AccessAt
  ${If} ${RunningX64}
    SetRegView 64
    ReadRegStr $0 HKLM "${APP_PATHS_KEY}" ""
    SetRegView default
    Call AccessAt
  ${EndIf}
  SetRegView 32
  ReadRegStr $0 HKLM "${APP_PATHS_KEY}" ""
  SetRegView default
  Call AccessAt
FunctionEnd

Function .onInit
  !insertmacro MENUVANE_CHOOSE_LANGUAGE
  ReadRegStr $OldDir HKCU "${UNINSTALL_KEY}" "InstallLocation"
  !insertmacro AccessIsRunning $0 "$INSTDIR\Pellwyn.dll"
  ${If} $0 == 0
  ${AndIf} $OldDir != ""
    !insertmacro AccessIsRunning $0 "$OldDir\Pellwyn.dll"
  ${EndIf}
  ${If} $0 == 1
    !insertmacro Refuse AccessRunning ${EXIT_ACCESS_RUNNING}
  ${EndIf}

  Call FindAccess
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/BITNESS=" $Bits
  ${If} ${Errors}
    StrCpy $Bits ""
  ${ElseIf} $Bits != 32
  ${AndIf} $Bits != 64
    !insertmacro Refuse BadBitness 2
  ${ElseIf} $Bits == 64
  ${AndIfNot} ${RunningX64}
    !insertmacro Refuse No64BitWindows 2
  ${EndIf}

  ${If} $Bits != ""
    StrCpy $Why asked
  ${ElseIf} $AccessBits != ""
    StrCpy $Bits $AccessBits
    StrCpy $Why found
  ${Else}
    StrCpy $Bits 32
    StrCpy $Guessed 1
    StrCpy $Why none
  ${EndIf}
FunctionEnd

Section "Menuvane" Main
  SectionIn RO
  DetailPrint "$(Installing)"
  ; Registered before: registered again, with the new files (silently it always is).
  ClearErrors
  ReadRegDWORD $R7 HKCU "${ADDIN_KEY}" "LoadBehavior"
  ${If} ${Errors}
    StrCpy $R7 0
  ${Else}
    StrCpy $R7 1
  ${EndIf}

  ; An earlier install, of either bitness: its class goes first, unregistered by the regsvr32 of
  ; its DLL's bitness; then any class still naming our DLL, in either view.
  ${If} $OldDir != ""
  ${AndIf} ${FileExists} "$OldDir\Pellwyn.dll"
    StrCpy $0 "$OldDir\Pellwyn.dll"
    Call PeBits
    ${If} $1 != ""
      DetailPrint "$(UnregisteringEarlier)"
      StrCpy $0 $1
      StrCpy $1 "/u /s"
      StrCpy $2 "$OldDir\Pellwyn.dll"
      Call Regsvr32
    ${EndIf}
  ${EndIf}
  StrCpy $0 "$INSTDIR\Pellwyn.dll"
  Call ForgetClasses
  ${If} $OldDir != ""
  ${AndIf} $OldDir != $INSTDIR
    StrCpy $0 "$OldDir\Pellwyn.dll"
    Call ForgetClasses
    Delete "$OldDir\Menuvane.exe"
    Delete "$OldDir\Pellwyn.dll"
    Delete "$OldDir\${UNINSTALLER}"
    RMDir "$OldDir"
  ${EndIf}

  SetOutPath "$INSTDIR"
  ${If} $Bits == 64
    File "/oname=Menuvane.exe" "${EXE64}"
    File "/oname=Pellwyn.dll" "${DLL64}"
  ${Else}
    File "/oname=Menuvane.exe" "${EXE32}"
    File "/oname=Pellwyn.dll" "${DLL32}"
  ${EndIf}
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Menuvane.exe" "" "$INSTDIR\Menuvane.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ($Bits-bit)"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Menuvane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ${If} $Guessed == 1
    SetErrorLevel ${EXIT_NO_ACCESS}
  ${EndIf}
  ; Silently there is nobody to press Menuvane's OK: do what it does with the default settings.
  ${If} ${Silent}
    !insertmacro DefaultSetting "Classic" "1"
    !insertmacro DefaultSetting "Left" "1"
    !insertmacro DefaultSetting "All" "1"
    !insertmacro DefaultSetting "Home" "0"
    !insertmacro DefaultSetting "Create" "0"
    !insertmacro DefaultSetting "External Data" "0"
    !insertmacro DefaultSetting "Database Tools" "0"
    !insertmacro DefaultSetting "Hide built-in Tabs" "0"
    StrCpy $R7 1
  ${EndIf}
  ${If} $R7 == 1
    DetailPrint "$(Registering)"
    StrCpy $0 $Bits
    StrCpy $1 "/s"
    StrCpy $2 "$INSTDIR\Pellwyn.dll"
    Call Regsvr32
    ${If} $R8 != 0
      DetailPrint "$(RegisterFailed)"
      SetErrorLevel ${EXIT_REGSVR32_FAILED}
    ${EndIf}
    ; Office keeps an add-in off for good once Access closed unexpectedly with it loaded, however
    ; it is registered. The installed Menuvane.exe removes our entries from Office's disabled
    ; items, as its OK does.
    DetailPrint "$(Reenabling)"
    ClearErrors
    ExecWait '"$INSTDIR\Menuvane.exe" /reenable' $R8
    ${If} ${Errors}
    ${OrIf} $R8 != 0
      DetailPrint "$(ReenableFailed)"
      SetErrorLevel ${EXIT_REGSVR32_FAILED}
    ${EndIf}
  ${EndIf}
SectionEnd

Function un.onInit
  !insertmacro MENUVANE_CHOOSE_LANGUAGE
  !insertmacro AccessIsRunning $0 "$INSTDIR\Pellwyn.dll"
  ${If} $0 == 1
    !insertmacro Refuse AccessRunningUninstall ${EXIT_ACCESS_RUNNING}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  DetailPrint "$(Unregistering)"
  StrCpy $0 "$INSTDIR\Pellwyn.dll"
  Call un.PeBits
  ${If} $1 != ""
    StrCpy $0 $1
    StrCpy $1 "/u /s"
    StrCpy $2 "$INSTDIR\Pellwyn.dll"
    Call un.Regsvr32
  ${EndIf}
  StrCpy $0 "$INSTDIR\Pellwyn.dll"
  Call un.ForgetClasses
  DeleteRegKey HKCU "${ADDIN_KEY}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\VB and VBA Program Settings\Kestrelby"

  Delete "$INSTDIR\Menuvane.exe"
  Delete "$INSTDIR\Pellwyn.dll"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
