; The TreskViewer installer, built by packaging/windows/CMakeLists.txt:
;   makensis -DVERSION=1.0.0.1 -DSOURCE_DIR=<folder with the programs> -DOUTFILE=<setup.exe> treskviewer.nsi
; It installs the programs for all users into Program Files, adds a
; Start-menu entry, an uninstaller and the entry in the installed-programs
; list. "/S" installs (and, given to the uninstaller, removes) silently.
Unicode true
; A 64-bit installer for 64-bit programs (also: the 32-bit stub cannot run
; where only 64-bit Wine is installed).
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef VERSION
  !error "define VERSION, SOURCE_DIR and OUTFILE"
!endif
!ifndef SOURCE_DIR
  !error "define VERSION, SOURCE_DIR and OUTFILE"
!endif
!ifndef OUTFILE
  !error "define VERSION, SOURCE_DIR and OUTFILE"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TreskViewer"
!define PUBLISHER "TreskViewer developers"

Name "TreskViewer"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\TreskViewer"
RequestExecutionLevel admin
ShowInstDetails show
LoadLanguageFile "${NSISDIR}\Contrib\Language files\Italian.nlf"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1040 "ProductName" "TreskViewer"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di TreskViewer"
VIAddVersionKey /LANG=1040 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1040 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetShellVarContext all
  SetRegView 64
  SetOutPath "$INSTDIR"
  File "${SOURCE_DIR}\TreskViewer.exe"
  File "${SOURCE_DIR}\treskdump.exe"
  File "${SOURCE_DIR}\LEGGIMI.txt"
  WriteUninstaller "$INSTDIR\Disinstalla.exe"
  CreateShortcut "$SMPROGRAMS\TreskViewer.lnk" "$INSTDIR\TreskViewer.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "TreskViewer"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TreskViewer.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Disinstalla.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Disinstalla.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  SetRegView 64
  Delete "$SMPROGRAMS\TreskViewer.lnk"
  Delete "$INSTDIR\TreskViewer.exe"
  Delete "$INSTDIR\treskdump.exe"
  Delete "$INSTDIR\LEGGIMI.txt"
  Delete "$INSTDIR\Disinstalla.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
