; The per-user installer of the screensaver, built by the package target (installer/package.cmake):
;
;   makensis -INPUTCHARSET UTF8 -DNAMES=<build>/installer/names.nsh \
;            -DFILES=<folder with the release files> -DOUTFILE=<setup.exe> setup.nsi
;
; It needs no administrator: everything goes under the user's own folders and HKCU.

Unicode true
; A PE32+ installer: 64-bit Windows runs it natively, and a 64-bit-only Wine runs nothing else.
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include WinMessages.nsh

!include "${NAMES}"
!define PER_USER_SETTINGS_FOLDER "$APPDATA\${PER_USER_FOLDER}"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PACKAGE}"
!define DESKTOP_KEY "Control Panel\Desktop"
!define RUN_ONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define RUN_ONCE_VALUE "${PACKAGE}"
; How long one of them may take to end once asked to close.
!define END_WAIT_MS 15000
; Win32 values the System calls below use.
!define SYNCHRONIZE 0x00100000
!define GENERIC_WRITE 0x40000000
!define OPEN_EXISTING 3
!define ERROR_FILE_NOT_FOUND 2
!define ERROR_PATH_NOT_FOUND 3
; Exit codes: the install did not happen; the uninstall finishes at the next sign-in.
!define EXIT_NOT_INSTALLED 2
!define EXIT_RESTART_NEEDED 3010

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; A folder the user can write, so the settings can be saved beside the program.
InstallDir "$LOCALAPPDATA\Programs\${PACKAGE}"
; An upgrade goes where the earlier version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

Var SetAsScreensaver   ; ${BST_CHECKED} or ${BST_UNCHECKED}
Var SetAsScreensaverBox
Var RemoveSettings     ; ${BST_CHECKED} or ${BST_UNCHECKED}
Var RemoveSettingsBox
Var SettingsOutcome    ; what the uninstaller did with the settings, for its last page
Var Failure            ; why the install cannot go on; "" while it can
Var KeptFiles          ; program files the uninstaller could not remove, one a line
Var UninstallOutcome   ; what the uninstaller did with the programs, for its last page

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
Page custom ScreensaverPage ScreensaverPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.SettingsPage un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$UninstallOutcome$\r$\n$\r$\n$SettingsOutcome"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "${PUBLISHER}"

; ------------------------------------------------------------------- shared ---
; Functions both the installer and the uninstaller call: NSIS wants them defined once for each.
!macro SHARED_FUNCTIONS un
; Asks the window titled as the caption on the stack to close and waits, within END_WAIT_MS,
; for its process to end. Leaves 1 on the stack when there was such a window, else 0.
Function ${un}CloseAndWait
  Exch $0
  Push $1
  Push $2
  Push $3
  System::Call 'user32::FindWindowW(p 0, w r0) p .r1'
  ${If} $1 P= 0
    StrCpy $0 0
  ${Else}
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2) i'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r2) p .r3'
    System::Call 'user32::PostMessageW(p r1, i ${WM_CLOSE}, p 0, p 0) i'
    ${If} $3 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r3, i ${END_WAIT_MS}) i'
      System::Call 'kernel32::CloseHandle(p r3) i'
    ${Else}
      Sleep 500  ; not ours to wait on: the next round looks again
    ${EndIf}
    StrCpy $0 1
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Ends a running screensaver, its settings window and its renderer, whichever copy of the
; program they come from: only one of them may run at a time. Closing the run's window ends
; its renderer too, but an older front end may leave it, so every caption is looked for
; again until a round finds none. Leaves 1 on the stack when all have ended, else 0.
Function ${un}EndRunningScreensaver
  Push $0
  Push $1
  Push $2
  StrCpy $2 0
  ${Do}
    IntOp $2 $2 + 1
    StrCpy $1 0
    Push "${RUN_CAPTION}"
    Call ${un}CloseAndWait
    Pop $0
    IntOp $1 $1 + $0
    Push "${SETTINGS_CAPTION}"
    Call ${un}CloseAndWait
    Pop $0
    IntOp $1 $1 + $0
    Push "${RENDERER_TITLE}"
    Call ${un}CloseAndWait
    Pop $0
    IntOp $1 $1 + $0
    ${If} $1 = 0
    ${OrIf} $2 >= 4
      ${ExitDo}
    ${EndIf}
  ${Loop}
  ${If} $1 = 0
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

; Leaves 1 on the stack when the file at the path on the stack is there and cannot be opened
; for writing by us alone: a program runs from it, or holds it open.
Function IsFileInUse
  Exch $0
  Push $1
  Push $2
  System::Call 'kernel32::CreateFileW(w r0, i ${GENERIC_WRITE}, i 0, p 0, i ${OPEN_EXISTING}, i 0, p 0) p .r1 ?e'
  Pop $2
  ${If} $1 P= -1
    ${If} $2 = ${ERROR_FILE_NOT_FOUND}
    ${OrIf} $2 = ${ERROR_PATH_NOT_FOUND}
      StrCpy $0 0
    ${Else}
      StrCpy $0 1
    ${EndIf}
  ${Else}
    System::Call 'kernel32::CloseHandle(p r1) i'
    StrCpy $0 0
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; ------------------------------------------------------------------ install ---
Function .onInit
  ; Silent installs take this default too.
  StrCpy $SetAsScreensaver ${BST_CHECKED}
FunctionEnd

Function ScreensaverPage
  !insertmacro MUI_HEADER_TEXT "スクリーンセーバーの設定" "インストールのあとで${PRODUCT}を使うかどうかを選んでください。"
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateCheckbox} 0 0 100% 12u "${PRODUCT}をスクリーンセーバーに設定する"
  Pop $SetAsScreensaverBox
  ${NSD_SetState} $SetAsScreensaverBox $SetAsScreensaver
  ${NSD_CreateLabel} 0 20u 100% 30u "チェックすると、${PRODUCT}をスクリーンセーバーにして、インストールのあとでスクリーンセーバーの設定画面を開きます。"
  Pop $0
  nsDialogs::Show
FunctionEnd

Function ScreensaverPageLeave
  ${NSD_GetState} $SetAsScreensaverBox $SetAsScreensaver
FunctionEnd

; The files an install writes into its folder, in the order it writes them.
!macro FOR_EACH_PROGRAM_FILE MACRO
  !insertmacro ${MACRO} "${SCR}"
  !insertmacro ${MACRO} "${RENDERER}"
  !insertmacro ${MACRO} "README.md"
  !insertmacro ${MACRO} "${UNINSTALLER}"
!macroend

!macro FAIL_WHEN_IN_USE NAME
  ${If} $Failure == ""
    Push "$INSTDIR\${NAME}"
    Call IsFileInUse
    Pop $0
    ${If} $0 = 1
      StrCpy $Failure "$INSTDIR\${NAME} が使われているため、インストールを中止しました。何も変えていません。スクリーンセーバーの設定画面を閉じてから、もう一度インストールしてください。"
    ${EndIf}
  ${EndIf}
!macroend

!macro KEEP_PREVIOUS NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    CopyFiles /SILENT "$INSTDIR\${NAME}" "$PLUGINSDIR\previous"
  ${EndIf}
!macroend

!macro RESTORE_PREVIOUS NAME
  ${If} ${FileExists} "$PLUGINSDIR\previous\${NAME}"
    CopyFiles /SILENT "$PLUGINSDIR\previous\${NAME}" "$INSTDIR"
  ${Else}
    Delete "$INSTDIR\${NAME}"
  ${EndIf}
!macroend

Section "${PRODUCT}" SectionProgram
  ; Nothing changes, neither a file nor the registry, until the running screensaver has ended
  ; and every file can be replaced: a half-replaced install would mix two versions.
  StrCpy $Failure ""
  Call EndRunningScreensaver
  Pop $0
  ${If} $0 = 0
    StrCpy $Failure "動いている${PRODUCT}を終了できなかったため、インストールを中止しました。何も変えていません。${PRODUCT}を閉じてから、もう一度インストールしてください。"
  ${EndIf}
  !insertmacro FOR_EACH_PROGRAM_FILE FAIL_WHEN_IN_USE
  ${If} $Failure != ""
    Goto failed
  ${EndIf}

  ; The earlier version's files stay at hand until every new one is in place.
  InitPluginsDir
  CreateDirectory "$PLUGINSDIR\previous"
  !insertmacro FOR_EACH_PROGRAM_FILE KEEP_PREVIOUS
  SetOutPath "$INSTDIR"
  ; The settings file beside the program is the user's: an upgrade replaces only these.
  SetOverwrite try
  ClearErrors
  File "${FILES}\${SCR}"
  File "${FILES}\${RENDERER}"
  File "${FILES}\README.md"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${If} ${Errors}
    !insertmacro FOR_EACH_PROGRAM_FILE RESTORE_PREVIOUS
    StrCpy $Failure "${PRODUCT}のファイルを書き込めなかったため、インストールを中止し、前のファイルに戻しました。"
    Goto failed
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${SCR},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionProgram} $0  ; in KiB, as EstimatedSize wants it
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} $SetAsScreensaver == ${BST_CHECKED}
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$INSTDIR\${SCR}"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
    DetailPrint "スクリーンセーバーに設定しました: $INSTDIR\${SCR}"
  ${EndIf}
  Return

failed:
  RMDir "$INSTDIR"  ; only a folder this install made and left empty
  DetailPrint "$Failure"
  MessageBox MB_ICONSTOP|MB_OK "$Failure" /SD IDOK
  SetErrorLevel ${EXIT_NOT_INSTALLED}
  Abort
SectionEnd

Function .onInstSuccess
  ; As right-click → Install does: the screensaver settings with our program selected. Runs
  ; after the last page; left out when silent and where the control panel item is missing.
  ${If} $SetAsScreensaver == ${BST_CHECKED}
  ${AndIfNot} ${Silent}
  ${AndIf} ${FileExists} "$SYSDIR\desk.cpl"
    ; The shell's own Install verb passes the path unquoted as well.
    Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $INSTDIR\${SCR}'
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------- uninstall ---
Function un.onInit
  ; Silent uninstalls keep the settings.
  StrCpy $RemoveSettings ${BST_UNCHECKED}
FunctionEnd

Function un.SettingsPage
  ; Nothing to keep, nothing to ask.
  ${IfNot} ${FileExists} "$INSTDIR\${INI}"
  ${AndIfNot} ${FileExists} "${PER_USER_SETTINGS_FOLDER}\${INI}"
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "設定ファイル" "${PRODUCT}の設定を残すかどうかを選んでください。"
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 36u "音楽などの設定は次のファイルにあり、削除しなければ残って、次にインストールしたときにも使われます。$\r$\n$INSTDIR\${INI}$\r$\n${PER_USER_SETTINGS_FOLDER}\${INI}"
  Pop $0
  ${NSD_CreateCheckbox} 0 44u 100% 12u "設定ファイルも削除する"
  Pop $RemoveSettingsBox
  ${NSD_SetState} $RemoveSettingsBox $RemoveSettings
  nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
  ${NSD_GetState} $RemoveSettingsBox $RemoveSettings
FunctionEnd

!macro REMOVE_PROGRAM_FILE NAME
  ClearErrors
  Delete "$INSTDIR\${NAME}"  ; a file that is not there is no error
  ${If} ${Errors}
    StrCpy $KeptFiles "$KeptFiles$\r$\n$INSTDIR\${NAME}"
  ${EndIf}
!macroend

Section "Uninstall"
  ; A file that stays in use after this shows below as one that cannot be removed.
  Call un.EndRunningScreensaver
  Pop $0
  ; The short form of our path is only known while the file is still there.
  GetFullPathName /SHORT $1 "$INSTDIR\${SCR}"

  StrCpy $KeptFiles ""
  !insertmacro REMOVE_PROGRAM_FILE "${SCR}"
  !insertmacro REMOVE_PROGRAM_FILE "${RENDERER}"
  !insertmacro REMOVE_PROGRAM_FILE "README.md"
  ; Copies of the user's desktop that a run left behind (common/program_names.h names them).
  Delete "C:\Merovan1.bmp"
  Delete "C:\Merovan2.bmp"
  Delete "$TEMP\Merovan1.bmp"
  Delete "$TEMP\Merovan2.bmp"

  StrCpy $SettingsOutcome ""
  ${If} $RemoveSettings == ${BST_CHECKED}
    ${If} ${FileExists} "$INSTDIR\${INI}"
    ${OrIf} ${FileExists} "${PER_USER_SETTINGS_FOLDER}\${INI}"
      StrCpy $SettingsOutcome "設定ファイルも削除しました。"
    ${EndIf}
    Delete "$INSTDIR\${INI}"
    Delete "${PER_USER_SETTINGS_FOLDER}\${INI}"
    RMDir "${PER_USER_SETTINGS_FOLDER}"
  ${Else}
    ${If} ${FileExists} "$INSTDIR\${INI}"
      StrCpy $SettingsOutcome "$SettingsOutcome$\r$\n$INSTDIR\${INI}"
    ${EndIf}
    ${If} ${FileExists} "${PER_USER_SETTINGS_FOLDER}\${INI}"
      StrCpy $SettingsOutcome "$SettingsOutcome$\r$\n${PER_USER_SETTINGS_FOLDER}\${INI}"
    ${EndIf}
    ${If} $SettingsOutcome != ""
      StrCpy $SettingsOutcome "設定ファイルは残しました。次にインストールしたときにも使われます。$SettingsOutcome"
    ${EndIf}
  ${EndIf}
  ${If} $SettingsOutcome != ""
    DetailPrint "$SettingsOutcome"
  ${EndIf}

  ${If} $KeptFiles != ""
    ; While a program stays in the folder, so do the uninstaller, its entry and the screensaver
    ; choice. At the user's next sign-in nothing runs from the folder any more: the uninstaller
    ; then runs once more, silently, and finishes.
    WriteRegStr HKCU "${RUN_ONCE_KEY}" "${RUN_ONCE_VALUE}" '"$INSTDIR\${UNINSTALLER}" /S'
    StrCpy $UninstallOutcome "次のファイルは使われているため、まだ削除していません。次にサインインしたとき（Windows の再起動のあと）に削除します。$KeptFiles"
    DetailPrint "$UninstallOutcome"
    SetErrorLevel ${EXIT_RESTART_NEEDED}
    Return
  ${EndIf}

  ; The user's later choice of another screensaver stays.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 != ""
    ${If} $0 == "$INSTDIR\${SCR}"  ; LogicLib's == ignores case, as Windows paths do
    ${OrIf} $0 == $1
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      DetailPrint "スクリーンセーバーの設定を外しました。"
    ${EndIf}
  ${EndIf}
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: a kept settings file keeps its folder.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegValue HKCU "${RUN_ONCE_KEY}" "${RUN_ONCE_VALUE}"
  StrCpy $UninstallOutcome "${PRODUCT}を削除しました。"
SectionEnd
