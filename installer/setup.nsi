; The per-user installer of the screensaver, built by the package target (installer/package.cmake)
; after the uninstaller it carries (uninstaller.nsi):
;
;   makensis -INPUTCHARSET UTF8 -DNAMES=<build>/installer/names.nsh -DFILES=<release files> \
;            -DUNINSTALLER_FILE=<uninstall.exe> -DOUTFILE=<setup.exe> setup.nsi

!include "${__FILEDIR__}\common.nsh"

OutFile "${OUTFILE}"

Var SetAsScreensaver   ; ${BST_CHECKED} or ${BST_UNCHECKED}, for each option of the page
Var EveryMonitor
Var AnyInputEnds
Var SetAsScreensaverBox
Var EveryMonitorBox
Var AnyInputEndsBox
Var Failure            ; why the install cannot go on; "" while it can

!define MUI_WELCOMEPAGE_TITLE "$(WelcomeTitle)"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
; The list of what was done stays until the user goes on.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_TITLE "$(FinishTitle)"
!define MUI_FINISHPAGE_TEXT " "  ; written when the page shows: FinishPageShow
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!insertmacro LANGUAGES
!insertmacro VERSION_INFO "${PACKAGE} Setup" "${PRODUCT} セットアップ" "${PACKAGE}-${VERSION}-setup.exe"
!insertmacro SHARED_FUNCTIONS ""

LangString WelcomeTitle ${LANG_ENGLISH} "Welcome to ${PACKAGE} Setup"
LangString WelcomeTitle ${LANG_JAPANESE} "${PRODUCT}のセットアップへようこそ"
LangString WelcomeText ${LANG_ENGLISH} "This wizard installs the ${PACKAGE} screensaver for your user account alone. It needs no administrator rights.$\r$\n$\r$\nIf ${PACKAGE} is running, or its settings window is open, Setup closes it before it replaces the files. Settings from an earlier version are kept.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_JAPANESE} "このウィザードは、スクリーンセーバー「${PRODUCT}」を、あなたのユーザー アカウントだけにインストールします。管理者の権限はいりません。$\r$\n$\r$\n${PRODUCT}が動いていたり、設定画面が開いていたりするときは、ファイルを置き換える前に閉じます。前のバージョンの設定は、そのまま残ります。$\r$\n$\r$\n$_CLICK"
LangString OptionsTitle ${LANG_ENGLISH} "Screensaver options"
LangString OptionsTitle ${LANG_JAPANESE} "スクリーンセーバーの設定"
LangString OptionsSubtitle ${LANG_ENGLISH} "Choose how ${PACKAGE} works once it is installed."
LangString OptionsSubtitle ${LANG_JAPANESE} "インストールのあとで${PRODUCT}をどう使うかを選んでください。"
LangString SetAsScreensaverBox ${LANG_ENGLISH} "Make ${PACKAGE} my screensaver"
LangString SetAsScreensaverBox ${LANG_JAPANESE} "${PRODUCT}をスクリーンセーバーに設定する"
LangString SetAsScreensaverNote ${LANG_ENGLISH} "The screen saver settings then open with ${PACKAGE} chosen when Setup closes."
LangString SetAsScreensaverNote ${LANG_JAPANESE} "セットアップを閉じると、${PRODUCT}を選んだスクリーンセーバーの設定画面が開きます。"
LangString DisplayOptionsHeading ${LANG_ENGLISH} "Display (you can change these later in the screensaver's settings):"
LangString DisplayOptionsHeading ${LANG_JAPANESE} "表示（あとでスクリーンセーバーの設定画面でも変えられます）:"
LangString EveryMonitorBox ${LANG_ENGLISH} "Cover every monitor"
LangString EveryMonitorBox ${LANG_JAPANESE} "画面全体に表示"
LangString AnyInputEndsBox ${LANG_ENGLISH} "End on any mouse move or key"
LangString AnyInputEndsBox ${LANG_JAPANESE} "マウスやキーでも終了"
LangString SettingsKeptNote ${LANG_ENGLISH} "You have settings already. They stay as they are, display options included."
LangString SettingsKeptNote ${LANG_JAPANESE} "設定がすでにあるので、表示も含めて、その設定のままにします。"
LangString FinishTitle ${LANG_ENGLISH} "${PACKAGE} is installed"
LangString FinishTitle ${LANG_JAPANESE} "${PRODUCT}をインストールしました"
LangString FinishInstalledIn ${LANG_ENGLISH} "${PACKAGE} was installed in this folder:"
LangString FinishInstalledIn ${LANG_JAPANESE} "${PRODUCT}を次のフォルダーにインストールしました:"
LangString FinishSet ${LANG_ENGLISH} "It is now your screensaver."
LangString FinishSet ${LANG_JAPANESE} "スクリーンセーバーを${PRODUCT}にしました。"
LangString FinishOpensSettings ${LANG_ENGLISH} " The screen saver settings open when you click Finish."
LangString FinishOpensSettings ${LANG_JAPANESE} "「完了」を押すと、スクリーンセーバーの設定画面が開きます。"
LangString FinishNotSet ${LANG_ENGLISH} "Your screensaver was left as it was. You can choose ${PACKAGE} in the screen saver settings at any time."
LangString FinishNotSet ${LANG_JAPANESE} "スクリーンセーバーは変えていません。スクリーンセーバーの設定画面で、いつでも${PRODUCT}を選べます。"
LangString FinishClose ${LANG_ENGLISH} "Click Finish to close Setup."
LangString FinishClose ${LANG_JAPANESE} "「完了」を押すと、セットアップを閉じます。"
LangString DetailInstalled ${LANG_ENGLISH} "Installed ${PACKAGE} in $INSTDIR"
LangString DetailInstalled ${LANG_JAPANESE} "${PRODUCT}をインストールしました: $INSTDIR"
LangString DetailOptionsWritten ${LANG_ENGLISH} "Saved the display options in a new settings file."
LangString DetailOptionsWritten ${LANG_JAPANESE} "表示の設定を、新しい設定ファイルに書きました。"
LangString DetailSettingsKept ${LANG_ENGLISH} "Kept your settings as they are."
LangString DetailSettingsKept ${LANG_JAPANESE} "設定は、そのままにしました。"
LangString DetailSetAsScreensaver ${LANG_ENGLISH} "Made ${PACKAGE} your screensaver."
LangString DetailSetAsScreensaver ${LANG_JAPANESE} "スクリーンセーバーを${PRODUCT}にしました。"
LangString FailNotEnded ${LANG_ENGLISH} "Setup could not close the running ${PACKAGE}, so it installed nothing and changed nothing. Close ${PACKAGE} and run Setup again."
LangString FailNotEnded ${LANG_JAPANESE} "動いている${PRODUCT}を閉じられなかったため、インストールをやめました。何も変えていません。${PRODUCT}を閉じてから、もう一度インストールしてください。"
LangString FailInUse ${LANG_ENGLISH} "A file in $INSTDIR is in use, so Setup installed nothing and changed nothing. Close the screen saver settings and run Setup again."
LangString FailInUse ${LANG_JAPANESE} "$INSTDIR のファイルが使われているため、インストールをやめました。何も変えていません。スクリーンセーバーの設定画面を閉じてから、もう一度インストールしてください。"
LangString FailWrite ${LANG_ENGLISH} "Setup could not write the files of ${PACKAGE}, so it stopped and put the earlier files back."
LangString FailWrite ${LANG_JAPANESE} "${PRODUCT}のファイルを書き込めなかったため、インストールをやめて、前のファイルに戻しました。"

; ------------------------------------------------------------------- checks ---
!define GENERIC_WRITE 0x40000000
!define OPEN_EXISTING 3
!define CREATE_NEW 1
!define FILE_ATTRIBUTE_NORMAL 0x80
!define ERROR_FILE_NOT_FOUND 2
!define ERROR_PATH_NOT_FOUND 3
!define SHIFT_JIS 932

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

; Settings the user has, beside the program or in the per-user folder, are theirs: the page's
; display options go into a settings file only where there is none. Opens an ${If} that the
; caller closes.
!macro IF_SETTINGS_EXIST
  ${If} ${FileExists} "$INSTDIR\${INI}"
  ${OrIf} ${FileExists} "${PER_USER_SETTINGS_FOLDER}\${INI}"
!macroend

; A new settings file beside the program with the two display options of the page, in the
; file's own format: code page 932 (which every Windows converts to, whatever its own), CR LF
; lines, and a stored number " 1" or " 0". CREATE_NEW never replaces a file that is there.
Function WriteDisplayOptions
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $1 " 0"
  ${If} $EveryMonitor == ${BST_CHECKED}
    StrCpy $1 " 1"
  ${EndIf}
  StrCpy $2 " 0"
  ${If} $AnyInputEnds == ${BST_CHECKED}
    StrCpy $2 " 1"
  ${EndIf}
  StrCpy $0 "[${INI_SECTION}]$\r$\n${KEY_EVERY_MONITOR}=$1$\r$\n${KEY_ANY_INPUT_ENDS}=$2$\r$\n"
  System::Call 'kernel32::WideCharToMultiByte(i ${SHIFT_JIS}, i 0, w r0, i -1, p 0, i 0, p 0, p 0) i .r1'
  ${If} $1 > 1
    System::Alloc $1
    Pop $2
    System::Call 'kernel32::WideCharToMultiByte(i ${SHIFT_JIS}, i 0, w r0, i -1, p r2, i r1, p 0, p 0) i .r1'
    IntOp $1 $1 - 1  ; without the closing NUL
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\${INI}", i ${GENERIC_WRITE}, i 0, p 0, i ${CREATE_NEW}, i ${FILE_ATTRIBUTE_NORMAL}, p 0) p .r3'
    ${If} $3 P<> -1
      System::Call 'kernel32::WriteFile(p r3, p r2, i r1, *i .r4, p 0) i'
      System::Call 'kernel32::CloseHandle(p r3) i'
      DetailPrint "$(DetailOptionsWritten)"
    ${EndIf}
    System::Free $2
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; -------------------------------------------------------------------- pages ---
Function .onInit
  ; Silent installs take these defaults too.
  StrCpy $SetAsScreensaver ${BST_CHECKED}
  StrCpy $EveryMonitor ${BST_CHECKED}
  StrCpy $AnyInputEnds ${BST_CHECKED}
FunctionEnd

Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "$(OptionsTitle)" "$(OptionsSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateCheckbox} 0 0 100% 12u "$(SetAsScreensaverBox)"
  Pop $SetAsScreensaverBox
  ${NSD_SetState} $SetAsScreensaverBox $SetAsScreensaver
  ${NSD_CreateLabel} 12u 14u 288u 20u "$(SetAsScreensaverNote)"
  Pop $0
  ${NSD_CreateLabel} 0 44u 100% 10u "$(DisplayOptionsHeading)"
  Pop $0
  ${NSD_CreateCheckbox} 12u 58u 288u 12u "$(EveryMonitorBox)"
  Pop $EveryMonitorBox
  ${NSD_SetState} $EveryMonitorBox $EveryMonitor
  ${NSD_CreateCheckbox} 12u 72u 288u 12u "$(AnyInputEndsBox)"
  Pop $AnyInputEndsBox
  ${NSD_SetState} $AnyInputEndsBox $AnyInputEnds
  !insertmacro IF_SETTINGS_EXIST
    EnableWindow $EveryMonitorBox 0
    EnableWindow $AnyInputEndsBox 0
    ${NSD_CreateLabel} 12u 90u 288u 20u "$(SettingsKeptNote)"
    Pop $0
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
  ${NSD_GetState} $SetAsScreensaverBox $SetAsScreensaver
  ${NSD_GetState} $EveryMonitorBox $EveryMonitor
  ${NSD_GetState} $AnyInputEndsBox $AnyInputEnds
FunctionEnd

; Where the screensaver went, with the folder broken only between its names, and whether it
; is now the screensaver.
Function FinishPageShow
  Push $mui.FinishPage.Text
  Push $INSTDIR
  Call FitPath
  Pop $0
  ${If} $SetAsScreensaver == ${BST_CHECKED}
    StrCpy $1 "$(FinishSet)"
    ${If} ${FileExists} "$SYSDIR\desk.cpl"
      StrCpy $1 "$1$(FinishOpensSettings)"
    ${EndIf}
  ${Else}
    StrCpy $1 "$(FinishNotSet)"
  ${EndIf}
  SendMessage $mui.FinishPage.Text ${WM_SETTEXT} 0 "STR:$(FinishInstalledIn)$\r$\n$0$\r$\n$\r$\n$1$\r$\n$\r$\n$(FinishClose)"
FunctionEnd

; ------------------------------------------------------------------ install ---
; The files an install writes into its folder, in the order it writes them.
!macro FOR_EACH_PROGRAM_FILE MACRO
  !insertmacro ${MACRO} "${SCR}"
  !insertmacro ${MACRO} "${RENDERER}"
  !insertmacro ${MACRO} "${README}"
  !insertmacro ${MACRO} "${UNINSTALLER}"
!macroend

!macro FAIL_WHEN_IN_USE NAME
  ${If} $Failure == ""
    Push "$INSTDIR\${NAME}"
    Call IsFileInUse
    Pop $0
    ${If} $0 = 1
      StrCpy $Failure "$(FailInUse)"
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

Section "${PACKAGE}" SectionProgram
  ; Nothing changes, neither a file nor the registry, until the running screensaver has ended
  ; and every file can be replaced: a half-replaced install would mix two versions.
  StrCpy $Failure ""
  Call EndRunningScreensaver
  Pop $0
  ${If} $0 = 0
    StrCpy $Failure "$(FailNotEnded)"
  ${EndIf}
  !insertmacro FOR_EACH_PROGRAM_FILE FAIL_WHEN_IN_USE
  ${If} $Failure != ""
    Goto failed
  ${EndIf}

  ; The earlier version's files stay at hand until every new one is in place. The list shows
  ; what was done, not each file: the programs' names are Japanese on every Windows.
  SetDetailsPrint none
  InitPluginsDir
  CreateDirectory "$PLUGINSDIR\previous"
  !insertmacro FOR_EACH_PROGRAM_FILE KEEP_PREVIOUS
  SetOutPath "$INSTDIR"
  SetOverwrite try
  ClearErrors
  File "${FILES}\${SCR}"
  File "${FILES}\${RENDERER}"
  File "${FILES}\${README}"
  File "/oname=${UNINSTALLER}" "${UNINSTALLER_FILE}"
  ${If} ${Errors}
    !insertmacro FOR_EACH_PROGRAM_FILE RESTORE_PREVIOUS
    SetDetailsPrint both
    StrCpy $Failure "$(FailWrite)"
    Goto failed
  ${EndIf}
  Delete "$INSTDIR\README.md"  ; the developers' notes that the first versions installed
  SetDetailsPrint both
  DetailPrint "$(DetailInstalled)"

  !insertmacro IF_SETTINGS_EXIST
    DetailPrint "$(DetailSettingsKept)"
  ${Else}
    Call WriteDisplayOptions
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "$(ProductName)"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${SCR},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  ; The same place the settings window's home link opens.
  !if "${HOME_LINK}" == ""
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "$INSTDIR\${README}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "HelpLink" "$INSTDIR\${README}"
  !else
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_LINK}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "HelpLink" "${HOME_LINK}"
  !endif
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionProgram} $0  ; in KiB, as EstimatedSize wants it
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} $SetAsScreensaver == ${BST_CHECKED}
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$INSTDIR\${SCR}"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
    DetailPrint "$(DetailSetAsScreensaver)"
  ${EndIf}
  Return

failed:
  SetDetailsPrint none
  RMDir "$INSTDIR"  ; only a folder this install made and left empty
  SetDetailsPrint both
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
