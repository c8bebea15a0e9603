; The TreskViewer installer, built by packaging/windows/CMakeLists.txt:
;   makensis -DVERSION=1.0.0.1 -DSOURCE_DIR64=<64-bit programs> -DSOURCE_DIR32=<32-bit programs>
;            -DICON=<treskviewer.ico> -DSIGN=<sign.sh> -DOUTFILE=<setup.exe> treskviewer.nsi
; A 32-bit program, so that it starts on a 32-bit PC too, carrying both
; builds: it installs the one that matches the system. Its first page asks
; for whom: the current user only (no administrator rights; the programs go
; under %LOCALAPPDATA%\Programs\TreskViewer, the entries under HKCU) or every
; user of the computer (Program Files and HKLM). It adds a Start-menu entry,
; the entry in the installed-programs list, the file class of cut lists and
; an uninstaller that removes what the installer added and nothing else.
; Silent: /S /CurrentUser or /S /AllUsers; /S alone installs for every user.
; The uninstaller takes /S too.
; TARGET=amd64-unicode makes the same installer as a 64-bit program, for
; testing under a Wine that runs no 32-bit program.
!ifndef TARGET
  !define TARGET x86-unicode
!endif
Unicode true
Target ${TARGET}
SetCompressor /SOLID lzma

!ifndef VERSION | SOURCE_DIR64 | SOURCE_DIR32 | ICON | SIGN | OUTFILE
  !error "define VERSION, SOURCE_DIR64, SOURCE_DIR32, ICON, SIGN and OUTFILE"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TreskViewer"
!define PUBLISHER "TreskViewer developers"
; The file class of cut lists and the extension it is offered for.
!define PROGID "TreskViewer.ListaDiTaglio"
!define CLASSES "Software\Classes"

!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include nsDialogs.nsh

Name "TreskViewer"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
; Administrator rights only for an installation for every user, asked for
; when that is chosen (ElevateForAllUsers).
RequestExecutionLevel user
ShowInstDetails show
ShowUninstDetails show
; The signing script signs the uninstaller before it is packed and the
; installer once made; it does nothing without a certificate.
!uninstfinalize '"${SIGN}" "%1"'
!finalize '"${SIGN}" "%1"'

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Italian.nlf"
; Corrects a misspelling of the stock Italian texts.
LangString ^UnCompletedSubCaption ${LANG_ITALIAN} ": Disinstallazione completata"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "ProductName" "TreskViewer"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileDescription" "Installazione di TreskViewer"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "OriginalFilename" "TreskViewer-${VERSION}-setup.exe"

; "1" for every user, "0" for the current user only.
Var AllUsers
; 1 when the command line chose (the page is then skipped).
Var ModeGiven
; The folder given with /D=, which the mode does not replace.
Var GivenDir
Var RadioCurrent
Var RadioAll

Page custom ModePage ModePageLeave
Page directory
Page instfiles
UninstPage uninstConfirm
PageEx un.instfiles
  CompletedText "Disinstallazione completata"
PageExEnd

; Takes the mode: shell folders, registry root and default folder.
Function SetMode
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
  ${If} $GivenDir != ""
    StrCpy $INSTDIR $GivenDir
  ${ElseIf} $AllUsers == 0
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\TreskViewer"
  ${ElseIf} ${RunningX64}
    StrCpy $INSTDIR "$PROGRAMFILES64\TreskViewer"
  ${Else}
    StrCpy $INSTDIR "$PROGRAMFILES\TreskViewer"
  ${EndIf}
FunctionEnd

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  StrCpy $GivenDir $INSTDIR
  StrCpy $AllUsers 1
  StrCpy $ModeGiven 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/CurrentUser" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
    StrCpy $ModeGiven 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
    StrCpy $ModeGiven 1
  ${EndIf}
  ${If} ${Silent}
  ${OrIf} $ModeGiven == 1
    Call ElevateForAllUsers
  ${EndIf}
  Call SetMode
FunctionEnd

; For every user without administrator rights: starts the installer again
; with them (Windows asks for them) and ends this one.
Function ElevateForAllUsers
  ${If} $AllUsers == 1
    UserInfo::GetAccountType
    Pop $R9
    ${If} $R9 != "Admin"
      StrCpy $R8 "/AllUsers"
      ${If} ${Silent}
        StrCpy $R8 "/S /AllUsers"
      ${EndIf}
      ${If} $GivenDir != ""
        StrCpy $R8 "$R8 /D=$GivenDir"
      ${EndIf}
      ClearErrors
      ExecShell "runas" "$EXEPATH" $R8
      ${IfNot} ${Errors}
        Quit
      ${EndIf}
      ${IfNot} ${Silent}
        MessageBox MB_ICONSTOP "Per installare TreskViewer per tutti gli utenti servono i diritti di amministratore."
      ${EndIf}
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

Function ModePage
  ${If} $ModeGiven == 1
    Abort
  ${EndIf}
  nsDialogs::Create 1018
  Pop $R0
  ${NSD_CreateLabel} 0 0 100% 24u "Installare TreskViewer solo per l'utente attuale (non servono i diritti di amministratore) o per tutti gli utenti di questo computer?"
  Pop $R0
  ${NSD_CreateRadioButton} 10u 32u 90% 12u "Solo per &me"
  Pop $RadioCurrent
  ${NSD_CreateRadioButton} 10u 48u 90% 12u "Per &tutti gli utenti di questo computer"
  Pop $RadioAll
  ${If} $AllUsers == 1
    ${NSD_Check} $RadioAll
  ${Else}
    ${NSD_Check} $RadioCurrent
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $RadioAll $R0
  ${If} $R0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  Call ElevateForAllUsers
  Call SetMode
FunctionEnd

; The file class of cut lists, offered for .PRG in "Apri con"; the default
; program of .PRG only when the extension has none yet.
Function RegisterFileClass
  WriteRegStr SHCTX "${CLASSES}\${PROGID}" "" "Lista di taglio TRESK"
  WriteRegStr SHCTX "${CLASSES}\${PROGID}\DefaultIcon" "" '"$INSTDIR\TreskViewer.exe",0'
  WriteRegStr SHCTX "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\TreskViewer.exe" "%1"'
  WriteRegStr SHCTX "${CLASSES}\.PRG\OpenWithProgids" "${PROGID}" ""
  ClearErrors
  ReadRegStr $R0 HKCR ".PRG" ""
  ${If} $R0 == ""
    WriteRegStr SHCTX "${CLASSES}\.PRG" "" "${PROGID}"
  ${EndIf}
  ; SHCNE_ASSOCCHANGED: Explorer reads the classes again.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "${SOURCE_DIR64}\TreskViewer.exe"
    File "${SOURCE_DIR64}\treskdump.exe"
  ${Else}
    File "${SOURCE_DIR32}\TreskViewer.exe"
    File "${SOURCE_DIR32}\treskdump.exe"
  ${EndIf}
  File "${SOURCE_DIR64}\LEGGIMI.txt"
  WriteUninstaller "$INSTDIR\Disinstalla.exe"
  CreateShortcut "$SMPROGRAMS\TreskViewer.lnk" "$INSTDIR\TreskViewer.exe"
  Call RegisterFileClass

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "TreskViewer"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TreskViewer.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ${If} $AllUsers == 1
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Disinstalla.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Disinstalla.exe" /S'
  ${Else}
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Disinstalla.exe" /CurrentUser'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Disinstalla.exe" /S /CurrentUser'
  ${EndIf}
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ; The size the installed-programs list shows, in KiB.
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $R0
SectionEnd

; The uninstaller works in the mode it was installed in: /CurrentUser or
; /AllUsers, otherwise the current user's when its installed-programs entry
; names this folder.
Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ${GetParameters} $R0
  StrCpy $AllUsers 1
  ClearErrors
  ${GetOptions} $R0 "/CurrentUser" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
  ${Else}
    ClearErrors
    ${GetOptions} $R0 "/AllUsers" $R1
    ${If} ${Errors}
      ReadRegStr $R1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
      ${If} $R1 == $INSTDIR
        StrCpy $AllUsers 0
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $AllUsers == 1
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $R9
    ${If} $R9 != "Admin"
      ${IfNot} ${Silent}
        MessageBox MB_ICONSTOP "Per disinstallare TreskViewer installato per tutti gli utenti servono i diritti di amministratore."
      ${EndIf}
      SetErrorLevel 740
      Quit
    ${EndIf}
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\TreskViewer.lnk"
  Delete "$INSTDIR\TreskViewer.exe"
  Delete "$INSTDIR\treskdump.exe"
  Delete "$INSTDIR\LEGGIMI.txt"
  Delete "$INSTDIR\Disinstalla.exe"
  RMDir "$INSTDIR"

  ; .PRG keeps everything but what the installer added: the class in its
  ; "Apri con" list, and its default program when that is still this class.
  ReadRegStr $R0 SHCTX "${CLASSES}\.PRG" ""
  ${If} $R0 == "${PROGID}"
    DeleteRegValue SHCTX "${CLASSES}\.PRG" ""
  ${EndIf}
  DeleteRegValue SHCTX "${CLASSES}\.PRG\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty /ifnovalues SHCTX "${CLASSES}\.PRG\OpenWithProgids"
  DeleteRegKey /ifempty /ifnovalues SHCTX "${CLASSES}\.PRG"
  DeleteRegKey SHCTX "${CLASSES}\${PROGID}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
