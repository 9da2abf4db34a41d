; The per-user installer of Menuvane: Menuvane.exe and Pellwyn.dll side by side in
; %LOCALAPPDATA%\Programs\Menuvane, a Start menu folder, an Add/Remove Programs entry, and an
; uninstaller that leaves nothing of ours behind. No administrator rights needed.
;
; makensis -DARCH=x86|x64 -DVERSION=<x.y.z> -DEXE=<Menuvane.exe> -DDLL=<Pellwyn.dll> -DICON=<.ico>
;          -DOUTFILE=<installer>     (the build does this: installer/CMakeLists.txt)
Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!endif

!define PRODUCT "Menuvane"
!define PUBLISHER "Team Kestrelby"
!define UNINSTALLER "Uninstall Menuvane.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Menuvane"
!define ADDIN_KEY "Software\Microsoft\Office\Access\AddIns\Kavrel.Connect"
!define SETTINGS_KEY "Software\VB and VBA Program Settings\Kestrelby\Menuvane"
; Exit codes beyond NSIS's own (0 done, 1 cancelled, 2 aborted):
!define EXIT_REGSVR32_FAILED 3   ; installed, but the add-in could not be registered
!define EXIT_ACCESS_RUNNING 4    ; nothing done: Access holds the add-in

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
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

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Menuvane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Run ${PRODUCT} now to choose the Classic tab's options"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Access holds Pellwyn.dll while it runs: the file can then be neither replaced nor removed.
; Access's main window has the class OMain; a held DLL cannot be opened for writing.
!macro AccessIsRunning result
  StrCpy ${result} 0
  FindWindow $R9 "OMain"
  ${If} $R9 != 0
    StrCpy ${result} 1
  ${ElseIf} ${FileExists} "$INSTDIR\Pellwyn.dll"
    ClearErrors
    FileOpen $R9 "$INSTDIR\Pellwyn.dll" a
    ${If} ${Errors}
      StrCpy ${result} 1
    ${Else}
      FileClose $R9
    ${EndIf}
  ${EndIf}
!macroend

; regsvr32 from the system folder, by its full path, waited for. Sets $R8 to its exit code.
!macro Regsvr32 switches
  ClearErrors
  ExecWait '"$SYSDIR\regsvr32.exe" ${switches} "$INSTDIR\Pellwyn.dll"' $R8
  ${If} ${Errors}
    StrCpy $R8 "not started"
  ${EndIf}
!macroend

; A default for a setting the user has not chosen yet; a choice already stored is kept.
!macro DefaultSetting name value
  ClearErrors
  ReadRegStr $R9 HKCU "${SETTINGS_KEY}" "${name}"
  ${If} ${Errors}
    WriteRegStr HKCU "${SETTINGS_KEY}" "${name}" "${value}"
  ${EndIf}
!macroend

Function .onInit
  !insertmacro AccessIsRunning $0
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONSTOP "Microsoft Access is running and uses ${PRODUCT}.$\r$\n$\r$\nClose Access, then run this setup again." /SD IDOK
    SetErrorLevel ${EXIT_ACCESS_RUNNING}
    Abort
  ${EndIf}
FunctionEnd

Section "Menuvane" Main
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=Menuvane.exe" "${EXE}"
  File "/oname=Pellwyn.dll" "${DLL}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Menuvane.exe" "" "$INSTDIR\Menuvane.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Menuvane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; Silently there is nobody to press Menuvane's OK: do what it does with the default settings.
  ${If} ${Silent}
    DetailPrint "Registering the add-in for Access"
    !insertmacro DefaultSetting "Classic" "1"
    !insertmacro DefaultSetting "Left" "1"
    !insertmacro DefaultSetting "All" "1"
    !insertmacro DefaultSetting "Home" "0"
    !insertmacro DefaultSetting "Create" "0"
    !insertmacro DefaultSetting "External Data" "0"
    !insertmacro DefaultSetting "Database Tools" "0"
    !insertmacro DefaultSetting "Hide built-in Tabs" "0"
    !insertmacro Regsvr32 "/s"
    ${If} $R8 != 0
      DetailPrint "regsvr32 failed ($R8): the add-in is not registered"
      SetErrorLevel ${EXIT_REGSVR32_FAILED}
    ${EndIf}
  ${EndIf}
SectionEnd

Function un.onInit
  !insertmacro AccessIsRunning $0
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONSTOP "Microsoft Access is running and uses ${PRODUCT}.$\r$\n$\r$\nClose Access, then uninstall ${PRODUCT} again." /SD IDOK
    SetErrorLevel ${EXIT_ACCESS_RUNNING}
    Abort
  ${EndIf}
FunctionEnd

Section "Uninstall"
  DetailPrint "Unregistering the add-in"
  !insertmacro Regsvr32 "/u /s"
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
