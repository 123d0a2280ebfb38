; The Windows installer: puts ml_quillbox.dll into the player's Plugins folder and
; Quillbox's notes, the panel firmware's hex and its Arduino sketch into Plugins\Quillbox,
; with a Start-menu entry for the notes, and registers an uninstaller that removes exactly
; those files. scripts/release.sh builds it, from the folder it stages the release in:
;
;   makensis -NOCD -DVERSION=1.0.0 -DFILE_LIST=<file_list.nsh> -DOUTFILE=<setup.exe> quillbox.nsi
;
; FILE_LIST is what installer/file-list.sh writes for that folder. For administrators,
; /S installs silently and /D=<player folder> (last on the line) names the player's
; folder; the exit code says how it went, with or without /S:
;   0  installed            1  cancelled by the user
;   2  the folder holds no player program
;   3  the player is running: it holds ml_quillbox.dll, which was left as it was

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
; A file that cannot be written stops the install: skipping it would report success.
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PLAYER "Winamp"
!define PLAYER_EXE "winamp.exe"
!define DLL "ml_quillbox.dll"
!define UNINSTALLER "Uninstall Quillbox.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillbox"
!define START_MENU "$SMPROGRAMS\Quillbox"
!define EXIT_NO_PLAYER 2
!define EXIT_PLAYER_RUNNING 3

!include "${FILE_LIST}"

Name "Quillbox ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Quillbox ${VERSION}"
; Left empty: .onInit looks for the player unless /D named its folder.
InstallDir ""

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 ProductName "Quillbox"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileDescription "Quillbox ${VERSION} Setup"
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright (c) 2026 Quillbox developers"

Var QbFolder      ; Plugins\Quillbox: the notes, the firmware and the uninstaller
Var PluginsFolder ; where the player loads ml_quillbox.dll from

!define MUI_ABORTWARNING
!define MUI_PAGE_HEADER_TEXT "Find ${PLAYER}"
!define MUI_PAGE_HEADER_SUBTEXT "Quillbox goes into the Plugins folder of the ${PLAYER} you use."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup installs the Quillbox plug-in into the Plugins folder of ${PLAYER}, in the folder below.$\r$\n$\r$\nIf ${PLAYER} is installed elsewhere, choose the folder that holds ${PLAYER_EXE}. Close ${PLAYER} before you press Install."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "${PLAYER} folder"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE RefusePlayerlessFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "Quillbox is installed"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_TEXT "Connect the panel and start ${PLAYER}: Quillbox asks for the panel's port and the music folder on its first start.$\r$\n$\r$\nThe notes, the panel's firmware and its sketch are in Plugins\Quillbox in the ${PLAYER} folder, the notes also in the Start menu."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Plugins\Quillbox\INSTALL.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the install notes"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The player's own installer records its folder in two places:
;  - HKCU\Software\Winamp, default value: the folder itself (read by other plug-ins'
;    published NSIS scripts, such as in_zingzong.nsi and the Winamp plug-in checks of
;    wachk, for the installed player);
;  - HKLM\...\Uninstall\Winamp, UninstallString: the uninstaller in that folder, possibly
;    quoted (NSIS's own example Examples/waplugin.nsi reads it, for older players).
; Failing both, the usual folder under Program Files.
Function FindPlayerFolder
  ReadRegStr $0 HKCU "Software\Winamp" ""
  ${If} ${FileExists} "$0\${PLAYER_EXE}"
    StrCpy $INSTDIR $0
    Return
  ${EndIf}
  ReadRegStr $0 HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Winamp" "UninstallString"
  ${If} $0 != ""
    StrCpy $1 $0 1
    ${If} $1 == '"'
      StrCpy $0 $0 "" 1
      ${WordFind} $0 '"' "+1" $0
    ${EndIf}
    ${GetParent} $0 $0
    ${If} ${FileExists} "$0\${PLAYER_EXE}"
      StrCpy $INSTDIR $0
      Return
    ${EndIf}
  ${EndIf}
  StrCpy $INSTDIR "$PROGRAMFILES\${PLAYER}"
FunctionEnd

Function .onInit
  ${If} $INSTDIR == ""
    Call FindPlayerFolder
  ${EndIf}
FunctionEnd

Function RefusePlayerlessFolder
  ${IfNot} ${FileExists} "$INSTDIR\${PLAYER_EXE}"
    MessageBox MB_OK|MB_ICONSTOP "There is no ${PLAYER} in$\r$\n$INSTDIR$\r$\n(the folder holds no ${PLAYER_EXE}).$\r$\n$\r$\nChoose the folder that ${PLAYER} is installed in."
    Abort
  ${EndIf}
FunctionEnd

; The running player holds the DLL it loaded: the system refuses to open it for writing
; (a sharing violation), and refuses to replace or delete it. Asked before anything is
; written, so that a refusal leaves the old installation whole.
!macro WAIT_FOR_FREE_DLL un
Function ${un}WaitForFreeDll
  retry:
  ${If} ${FileExists} "$PluginsFolder\${DLL}"
    ClearErrors
    FileOpen $0 "$PluginsFolder\${DLL}" a
    ${If} ${Errors}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PLAYER} is running and holds ${DLL}, so Setup cannot change it.$\r$\n$\r$\nClose ${PLAYER}, then press Retry." /SD IDCANCEL IDRETRY retry
      DetailPrint "${PLAYER} is running and holds ${DLL}: nothing was changed."
      SetErrorLevel ${EXIT_PLAYER_RUNNING}
      Abort
    ${EndIf}
    FileClose $0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro WAIT_FOR_FREE_DLL ""
!insertmacro WAIT_FOR_FREE_DLL "un."

Section "Quillbox"
  SectionIn RO
  ; With /S the directory page is skipped, and with it its check.
  ${IfNot} ${FileExists} "$INSTDIR\${PLAYER_EXE}"
    MessageBox MB_OK|MB_ICONSTOP "There is no ${PLAYER} in $INSTDIR (the folder holds no ${PLAYER_EXE})." /SD IDOK
    DetailPrint "There is no ${PLAYER} in $INSTDIR: nothing was installed."
    SetErrorLevel ${EXIT_NO_PLAYER}
    Abort
  ${EndIf}
  StrCpy $PluginsFolder "$INSTDIR\Plugins"
  StrCpy $QbFolder "$PluginsFolder\Quillbox"
  Call WaitForFreeDll

  ; An older Quillbox is replaced in place; its settings in plugin.ini are not ours to touch.
  SetOutPath $PluginsFolder
  File "${DLL}"
  ; The firmware's hex carries its version in its name: an older one goes.
  Delete "$QbFolder\quillbox-panel-*.hex"
  !insertmacro QB_INSTALL_FILES
  WriteUninstaller "$QbFolder\${UNINSTALLER}"

  SetShellVarContext all
  CreateDirectory "${START_MENU}"
  CreateShortcut "${START_MENU}\Quillbox notes.lnk" "$QbFolder\INSTALL.txt"
  CreateShortcut "${START_MENU}\Quillbox panel notes.lnk" "$QbFolder\PANEL.txt"
  CreateShortcut "${START_MENU}\Quillbox folder.lnk" "$QbFolder"

  SectionGetSize 0 $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quillbox ${VERSION} (${PLAYER} plug-in)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quillbox developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$QbFolder\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$QbFolder\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$QbFolder\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the section above installed, file by file: plugin.ini, the saved playlists
; and the dumped songs are the user's, wherever the user put them, and stay.
Section "Uninstall"
  ; The uninstaller runs from Plugins\Quillbox.
  StrCpy $QbFolder $INSTDIR
  ${GetParent} $QbFolder $PluginsFolder
  Call un.WaitForFreeDll

  Delete "$PluginsFolder\${DLL}"
  ${If} ${FileExists} "$PluginsFolder\${DLL}"
    DetailPrint "${DLL} could not be removed."
    SetErrorLevel ${EXIT_PLAYER_RUNNING}
    Abort
  ${EndIf}
  !insertmacro QB_REMOVE_FILES
  Delete "$QbFolder\${UNINSTALLER}"
  RMDir $QbFolder

  SetShellVarContext all
  Delete "${START_MENU}\Quillbox notes.lnk"
  Delete "${START_MENU}\Quillbox panel notes.lnk"
  Delete "${START_MENU}\Quillbox folder.lnk"
  RMDir "${START_MENU}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
