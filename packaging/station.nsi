; The Station client's installer (makensis, NSIS 3; packaging/package.cmake
; passes the defines below). It installs for the current user only, without
; administrator rights, into %LOCALAPPDATA%\Programs\TingweiStation, adds a
; Start-menu entry and an uninstaller registered under HKCU. /S installs
; silently, /D=DIR (last on the command line) picks another folder.
;
; Defines: VERSION ("1.3"), VERSION_QUAD ("1.3.0.0"), STAGE (folder with
; station.exe, system.dll and img\), ICON (.ico), OUTFILE (installer path).

Unicode true
; No copyright line of our own in the installer's version information.
!pragma warning disable 9100
; The program is 64-bit, and so is Wine here: a 64-bit installer too.
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware false

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "汀蔚网络视听台"
!define FOLDER "TingweiStation"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${FOLDER}"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT} ${VERSION}"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${FOLDER}"
; An earlier installation is updated where it is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} ${VERSION} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\station.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}/station.exe"
  File "${STAGE}/system.dll"
  SetOutPath "$INSTDIR\img"
  File "${STAGE}/img/*.gif"

  ; The shortcut starts the program in its folder, beside its files.
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\station.exe" "" "$INSTDIR\station.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\station.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\station.exe"
  Delete "$INSTDIR\system.dll"
  Delete "$INSTDIR\img\*.gif"
  ; What the program writes beside itself: colours, notices, advert picture.
  Delete "$INSTDIR\userini.user"
  Delete "$INSTDIR\ad.tingweiini"
  Delete "$INSTDIR\ad\tingweiad.gif"
  Delete "$INSTDIR\uninstall.exe"
  ; Folders only when empty: whatever else the user put there stays.
  RMDir "$INSTDIR\ad"
  RMDir "$INSTDIR\img"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
