; The Windows installer of platine, built on Linux by scripts/windows.sh with makensis:
;   makensis -DVERSION=1.1.0 -DSTAGE=<folder of the files> -DOUTFILE=<setup.exe> platine.nsi
; It installs into Program Files, adds a Start-menu entry and an uninstaller, and registers the
; program with Windows' "Apps & features". Settings (param.ini) then live in
; %APPDATA%\platine: the program folder is not the user's to write.

Unicode true
; 64-bit, like the programs it installs (and as Debian's 64-bit Wine runs it).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"

!define APP "platine"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\platine"

Name "platine ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\platine"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "platine ${VERSION}"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\platine.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "platine demande une version 64 bits de Windows."
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "platine"
  SetOutPath "$INSTDIR"
  File "${STAGE}/platine.exe"
  File "${STAGE}/platine-cli.exe"
  File "${STAGE}/qt.conf"
  File "${STAGE}/LISEZMOI.txt"
  SetOutPath "$INSTDIR\translations"
  File "${STAGE}/translations\*.qm"

  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\platine.lnk" "$INSTDIR\platine.exe" "" "$INSTDIR\platine.exe" 0 \
    SW_SHOWNORMAL "" "Configurer la platine à six relais"
  WriteUninstaller "$INSTDIR\desinstaller.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "platine"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\platine.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\desinstaller.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The user's settings (%APPDATA%\platine\param.ini) and program files are theirs: kept.
Section "Uninstall"
  Delete "$SMPROGRAMS\platine.lnk"
  Delete "$INSTDIR\platine.exe"
  Delete "$INSTDIR\platine-cli.exe"
  Delete "$INSTDIR\qt.conf"
  Delete "$INSTDIR\LISEZMOI.txt"
  Delete "$INSTDIR\translations\*.qm"
  RMDir "$INSTDIR\translations"
  Delete "$INSTDIR\desinstaller.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
