; The Windows installer: the programs and the DLLs beside them in one folder, a Start-menu entry,
; an uninstaller that removes all of it. makensis -DVERSION=... -DSTAGE=<folder> -DOUTFILE=<exe>
; A 64-bit installer for the 64-bit program (and for wine64 without its 32-bit part).
Target amd64-unicode
!include "MUI2.nsh"

!define NAME "KT7 RS232 Data Logger"
!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kt7-logger"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\kt7-logger.exe"
  WriteRegStr HKLM "${KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${NAME}.lnk"
  DeleteRegKey HKLM "${KEY}"
  ; Logs in C:\KT7 Log\ and settings in %APPDATA% are the user's: they stay.
  RMDir /r "$INSTDIR"
SectionEnd
