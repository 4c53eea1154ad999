; Installer and uninstaller of one Padwise release folder, per machine. makensis defines:
;   VERSION (1.10.0), KIND (win32 or win64), STAGE (the staged Padwise folder), ICON, OUTFILE
;   and, for a signed release, SIGN: the command that signs the PE file named after it in place.
!if ${KIND} == win64
Target amd64-unicode
!else
Target x86-unicode
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "Padwise"
!define PUBLISHER "Orvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Padwise"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; profiler.exe /close: 0 when no instance runs any more, 1 when one did not end within 10 s.
!define CLOSE_LIMIT_MS 30000

!ifdef SIGN
; The uninstaller is signed before it is packed into the installer, the installer once it is built.
!uninstfinalize `${SIGN} "%1"` = 0
!finalize `${SIGN} "%1"` = 0
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
Unicode true
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!if ${KIND} == win64
InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\profiler.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Padwise"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running profiler.exe of the installation to end; aborts the (un)installation when it
; does not, rather than replace or remove files under a running program.
!macro CLOSE_PADWISE un
Function ${un}closePadwise
  ${IfNot} ${FileExists} "$INSTDIR\profiler.exe"
    Return
  ${EndIf}
  DetailPrint "Closing Padwise"
  nsExec::Exec /TIMEOUT=${CLOSE_LIMIT_MS} '"$INSTDIR\profiler.exe" /close'
  Pop $0
  ${If} $0 == 0
    Return
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP "Padwise is still running, probably because a game started with a profile is still running.$\r$\n$\r$\nClose the game and Padwise first, then try again." /SD IDOK
  SetErrorLevel 3
  Abort "Padwise is still running."
FunctionEnd
!macroend
!insertmacro CLOSE_PADWISE ""
!insertmacro CLOSE_PADWISE "un."

!macro USE_MACHINE_VIEW
  SetShellVarContext all
!if ${KIND} == win64
  SetRegView 64
!endif
!macroend

Function .onInit
!if ${KIND} == win64
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This is the 64-bit Padwise, which needs 64-bit Windows.$\r$\nInstall padwise-${VERSION}-win32-setup.exe on this computer." /SD IDOK
    SetErrorLevel 4
    Quit
  ${EndIf}
!else
  ${If} ${RunningX64}
    MessageBox MB_YESNO|MB_ICONEXCLAMATION "This is the 32-bit Padwise. On 64-bit Windows install padwise-${VERSION}-win64-setup.exe instead:$\r$\n$\r$\n- the 32-bit Pad Driver Setup cannot install the pad's driver on 64-bit Windows;$\r$\n- this package carries only the 32-bit force-feedback driver, so 64-bit games would have no force feedback. The 64-bit package carries both.$\r$\n$\r$\nInstall the 32-bit Padwise anyway?" /SD IDNO IDYES keep32
    SetErrorLevel 4
    Quit
  ${EndIf}
  keep32:
!endif
  !insertmacro USE_MACHINE_VIEW
FunctionEnd

Section "-Padwise"
  Call closePadwise
  SetOutPath "$INSTDIR"
  File "${STAGE}\profiler.exe"
  ; The effect drivers, where the driver package's INF copies them from.
  SetOutPath "$INSTDIR\x86"
  File "${STAGE}\x86\jolter.dll"
!if ${KIND} == win64
  SetOutPath "$INSTDIR\amd64"
  File "${STAGE}\amd64\jolter.dll"
!endif
  SetOutPath "$INSTDIR"
  File "${STAGE}\fitkit.exe"
  File "${STAGE}\README.txt"
  ; The user's settings and profiles, and a filled-in setup.ini, survive an upgrade.
  SetOverwrite off
  File "${STAGE}\profiler.INI"
  File "${STAGE}\setup.ini"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Padwise.lnk" "$INSTDIR\profiler.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Pad Driver Setup.lnk" "$INSTDIR\fitkit.exe"

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\profiler.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  !insertmacro USE_MACHINE_VIEW
FunctionEnd

Section "-un.Padwise"
  Call un.closePadwise
  ; Auto Start: the Run value (Windows XP and older) and the logon task (later systems), each only
  ; when it starts the program of this installation (not a copy in another folder).
  ReadRegStr $0 HKLM "${RUN_KEY}" "PADWISE"
  ${If} $0 == "$INSTDIR\profiler.exe"
  ${OrIf} $0 == '"$INSTDIR\profiler.exe"'
    DeleteRegValue HKLM "${RUN_KEY}" "PADWISE"
  ${EndIf}
  ; Every user's logon task that starts this program goes through the program itself, which asks
  ; the task scheduler; bounded, as the scheduler can be slow to answer.
  nsExec::Exec /TIMEOUT=${CLOSE_LIMIT_MS} '"$INSTDIR\profiler.exe" /unregister'
  Pop $0
  Delete "$INSTDIR\profiler.exe"
  Delete "$INSTDIR\x86\jolter.dll"
  RMDir "$INSTDIR\x86"
  Delete "$INSTDIR\amd64\jolter.dll"
  RMDir "$INSTDIR\amd64"
  Delete "$INSTDIR\fitkit.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\setup.ini"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${PRODUCT}\Padwise.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Pad Driver Setup.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Unticked: the settings file with the user's profiles stays, also in a silent uninstall.
Section /o "un.Padwise settings and profiles (profiler.INI)"
  Delete "$INSTDIR\profiler.INI"
SectionEnd

Section "-un.Folder"
  RMDir "$INSTDIR"
SectionEnd
