; The Windows installer of Tarvo, made with NSIS:
;   makensis -DSOURCE_DIR=<folder with tarvo.exe> -DICON=<tarvo.ico>
;            -DVERSION=1.0 -DOUTFILE=<tarvo-setup.exe> tarvo.nsi
; Installs for the current user only (no administrator needed) into the
; user's programs folder, adds a Start-menu shortcut and registers the
; uninstaller in the list of installed programs. /S installs and uninstalls
; without asking.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo"

Name "Tarvo"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Tarvo"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "Tarvo"
VIAddVersionKey /LANG=1033 "FileDescription" "Tarvo Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Tarvo maintainers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Tarvo"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${SOURCE_DIR}\tarvo.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tarvo.lnk" "$INSTDIR\tarvo.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tarvo"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tarvo maintainers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Tarvo.lnk"
  Delete "$INSTDIR\tarvo.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The user's programs folder too, when this was all it held.
  RMDir "$LOCALAPPDATA\Programs"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
