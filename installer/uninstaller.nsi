; The uninstaller, built on its own so that its version resource says what it is. makensis
; writes it while it compiles this script and runs the finishing step on it, which signs it
; when a certificate is given and copies it to UNINSTALLER_OUT, where setup.nsi takes it from.
; The installer this script also makes is never used.
;
;   makensis -INPUTCHARSET UTF8 -DNAMES=<build>/installer/names.nsh -DOUTFILE=<unused.exe> \
;            -DUNINSTALLER_OUT=<uninstall.exe> uninstaller.nsi

!include "${__FILEDIR__}\common.nsh"

OutFile "${OUTFILE}"
!uninstfinalize '"${CMAKE}" "-DMEROVAN_SIGN_FILE=%1" "-DMEROVAN_COPY_TO=${UNINSTALLER_OUT}" -P "${__FILEDIR__}/sign.cmake"' = 0

Var RemoveSettings     ; ${BST_CHECKED} or ${BST_UNCHECKED}
Var RemoveSettingsBox
; What the uninstall did, for its last page: 1 or 0 each.
Var KeptProgramFiles   ; a program file in use stays until the next sign-in
Var KeptSettingsBeside
Var KeptSettingsPerUser
Var RemovedSettings

!define MUI_PAGE_HEADER_TEXT "$(ConfirmTitle)"
!define MUI_PAGE_HEADER_SUBTEXT "$(ConfirmSubtitle)"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(ConfirmText)"
!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.SettingsPage un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES
; The list of what was done stays until the user goes on.
!define MUI_UNFINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_TITLE "$(FinishTitle)"
!define MUI_FINISHPAGE_TEXT " "  ; written when the page shows: un.FinishPageShow
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.FinishPageShow
!insertmacro MUI_UNPAGE_FINISH

!insertmacro LANGUAGES
!insertmacro VERSION_INFO "${PACKAGE} Uninstaller" "${PRODUCT} アンインストーラー" "${UNINSTALLER}"
!insertmacro SHARED_FUNCTIONS "un."

LangString ConfirmTitle ${LANG_ENGLISH} "Uninstall ${PACKAGE}"
LangString ConfirmTitle ${LANG_JAPANESE} "${PRODUCT}のアンインストール"
LangString ConfirmSubtitle ${LANG_ENGLISH} "Remove ${PACKAGE} from this computer."
LangString ConfirmSubtitle ${LANG_JAPANESE} "${PRODUCT}を、このコンピューターから削除します。"
LangString ConfirmText ${LANG_ENGLISH} "${PACKAGE} will be removed from the folder below. If it is running, or its settings window is open, it is closed first. $_CLICK"
LangString ConfirmText ${LANG_JAPANESE} "次のフォルダーから${PRODUCT}を削除します。${PRODUCT}が動いていたり、設定画面が開いていたりするときは、先に閉じます。$_CLICK"
LangString SettingsTitle ${LANG_ENGLISH} "Settings"
LangString SettingsTitle ${LANG_JAPANESE} "設定ファイル"
LangString SettingsSubtitle ${LANG_ENGLISH} "Choose whether to keep the settings of ${PACKAGE}."
LangString SettingsSubtitle ${LANG_JAPANESE} "${PRODUCT}の設定を残すかどうかを選んでください。"
LangString SettingsWhere ${LANG_ENGLISH} "Your settings (the music and the display options) are in the folders below. If you keep them, the next installation uses them again."
LangString SettingsWhere ${LANG_JAPANESE} "音楽や表示などの設定は、次のフォルダーの ${INI} にあります。残しておくと、次にインストールしたときにも使われます。"
LangString RemoveSettingsBox ${LANG_ENGLISH} "Remove the settings too"
LangString RemoveSettingsBox ${LANG_JAPANESE} "設定ファイルも削除する"
LangString FinishTitle ${LANG_ENGLISH} "${PACKAGE} is removed"
LangString FinishTitle ${LANG_JAPANESE} "${PRODUCT}を削除しました"
LangString FinishTitleKeptFiles ${LANG_ENGLISH} "${PACKAGE} is removed at your next sign-in"
LangString FinishTitleKeptFiles ${LANG_JAPANESE} "${PRODUCT}の削除は、次のサインインで終わります"
LangString FinishRemoved ${LANG_ENGLISH} "${PACKAGE} has been removed from this computer."
LangString FinishRemoved ${LANG_JAPANESE} "${PRODUCT}を、このコンピューターから削除しました。"
LangString FinishKeptFiles ${LANG_ENGLISH} "Some of its files in this folder are still in use. They are removed the next time you sign in, after Windows restarts:"
LangString FinishKeptFiles ${LANG_JAPANESE} "次のフォルダーには、使われていてまだ削除できないファイルがあります。次にサインインしたとき（Windows の再起動のあと）に削除します:"
LangString FinishSettingsRemoved ${LANG_ENGLISH} "Your settings were removed too."
LangString FinishSettingsRemoved ${LANG_JAPANESE} "設定ファイルも削除しました。"
LangString FinishSettingsKept ${LANG_ENGLISH} "Your settings were kept in these folders, and the next installation uses them again:"
LangString FinishSettingsKept ${LANG_JAPANESE} "設定ファイルは次のフォルダーに残しました。次にインストールしたときにも使われます:"
LangString FinishClose ${LANG_ENGLISH} "Click Finish to close this wizard."
LangString FinishClose ${LANG_JAPANESE} "「完了」を押すと、このウィザードを閉じます。"
LangString DetailRemoved ${LANG_ENGLISH} "Removed ${PACKAGE} from $INSTDIR"
LangString DetailRemoved ${LANG_JAPANESE} "${PRODUCT}を削除しました: $INSTDIR"
LangString DetailKeptFiles ${LANG_ENGLISH} "Files in use stay in $INSTDIR until the next sign-in."
LangString DetailKeptFiles ${LANG_JAPANESE} "使われているファイルは、次のサインインまで $INSTDIR に残ります。"
LangString DetailScreensaverOff ${LANG_ENGLISH} "${PACKAGE} is no longer your screensaver."
LangString DetailScreensaverOff ${LANG_JAPANESE} "スクリーンセーバーの${PRODUCT}を外しました。"
LangString DetailSettingsRemoved ${LANG_ENGLISH} "Removed the settings."
LangString DetailSettingsRemoved ${LANG_JAPANESE} "設定ファイルを削除しました。"
LangString DetailSettingsKept ${LANG_ENGLISH} "Kept the settings."
LangString DetailSettingsKept ${LANG_JAPANESE} "設定ファイルは残しました。"

; Never run: this build makes the uninstaller only.
Section
  WriteUninstaller "$EXEDIR\${UNINSTALLER}"
SectionEnd

; -------------------------------------------------------------------- pages ---
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
  !insertmacro MUI_HEADER_TEXT "$(SettingsTitle)" "$(SettingsSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 28u "$(SettingsWhere)"
  Pop $0
  ; Only the folders that hold settings, each broken only between its names.
  ${NSD_CreateLabel} 12u 32u 288u 48u ""
  Pop $1
  StrCpy $2 ""
  ${If} ${FileExists} "$INSTDIR\${INI}"
    Push $1
    Push $INSTDIR
    Call un.FitPath
    Pop $2
  ${EndIf}
  ${If} ${FileExists} "${PER_USER_SETTINGS_FOLDER}\${INI}"
    Push $1
    Push "${PER_USER_SETTINGS_FOLDER}"
    Call un.FitPath
    Pop $3
    ${If} $2 != ""
      StrCpy $2 "$2$\r$\n"
    ${EndIf}
    StrCpy $2 "$2$3"
  ${EndIf}
  SendMessage $1 ${WM_SETTEXT} 0 "STR:$2"
  ${NSD_CreateCheckbox} 0 86u 100% 12u "$(RemoveSettingsBox)"
  Pop $RemoveSettingsBox
  ${NSD_SetState} $RemoveSettingsBox $RemoveSettings
  nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
  ${NSD_GetState} $RemoveSettingsBox $RemoveSettings
FunctionEnd

; What became of the programs and the settings, each folder broken only between its names.
Function un.FinishPageShow
  ${If} $KeptProgramFiles = 1
    SendMessage $mui.FinishPage.Title ${WM_SETTEXT} 0 "STR:$(FinishTitleKeptFiles)"
    Push $mui.FinishPage.Text
    Push $INSTDIR
    Call un.FitPath
    Pop $0
    StrCpy $0 "$(FinishKeptFiles)$\r$\n$0"
  ${Else}
    StrCpy $0 "$(FinishRemoved)"
  ${EndIf}
  ${If} $RemovedSettings = 1
    StrCpy $0 "$0$\r$\n$\r$\n$(FinishSettingsRemoved)"
  ${ElseIf} $KeptSettingsBeside = 1
  ${OrIf} $KeptSettingsPerUser = 1
    StrCpy $0 "$0$\r$\n$\r$\n$(FinishSettingsKept)"
    ${If} $KeptSettingsBeside = 1
      Push $mui.FinishPage.Text
      Push $INSTDIR
      Call un.FitPath
      Pop $1
      StrCpy $0 "$0$\r$\n$1"
    ${EndIf}
    ${If} $KeptSettingsPerUser = 1
      Push $mui.FinishPage.Text
      Push "${PER_USER_SETTINGS_FOLDER}"
      Call un.FitPath
      Pop $1
      StrCpy $0 "$0$\r$\n$1"
    ${EndIf}
  ${EndIf}
  SendMessage $mui.FinishPage.Text ${WM_SETTEXT} 0 "STR:$0$\r$\n$\r$\n$(FinishClose)"
FunctionEnd

; ---------------------------------------------------------------- uninstall ---
!macro REMOVE_PROGRAM_FILE NAME
  ClearErrors
  Delete "$INSTDIR\${NAME}"  ; a file that is not there is no error
  ${If} ${Errors}
    StrCpy $KeptProgramFiles 1
  ${EndIf}
!macroend

Section "Uninstall"
  ; A file that stays in use after this shows below as one that cannot be removed.
  Call un.EndRunningScreensaver
  Pop $0
  ; The short form of our path is only known while the file is still there.
  GetFullPathName /SHORT $1 "$INSTDIR\${SCR}"

  ; The list shows what was done, not each file: the programs' names are Japanese on every
  ; Windows.
  SetDetailsPrint none
  StrCpy $KeptProgramFiles 0
  !insertmacro REMOVE_PROGRAM_FILE "${SCR}"
  !insertmacro REMOVE_PROGRAM_FILE "${RENDERER}"
  !insertmacro REMOVE_PROGRAM_FILE "${README}"
  !insertmacro REMOVE_PROGRAM_FILE "README.md"  ; the first versions installed it
  ; Copies of the user's desktop that a run left behind (common/program_names.h names them).
  Delete "C:\Merovan1.bmp"
  Delete "C:\Merovan2.bmp"
  Delete "$TEMP\Merovan1.bmp"
  Delete "$TEMP\Merovan2.bmp"

  StrCpy $KeptSettingsBeside 0
  StrCpy $KeptSettingsPerUser 0
  StrCpy $RemovedSettings 0
  ${If} $RemoveSettings == ${BST_CHECKED}
    ${If} ${FileExists} "$INSTDIR\${INI}"
    ${OrIf} ${FileExists} "${PER_USER_SETTINGS_FOLDER}\${INI}"
      StrCpy $RemovedSettings 1
    ${EndIf}
    Delete "$INSTDIR\${INI}"
    Delete "${PER_USER_SETTINGS_FOLDER}\${INI}"
    RMDir "${PER_USER_SETTINGS_FOLDER}"
  ${Else}
    ${If} ${FileExists} "$INSTDIR\${INI}"
      StrCpy $KeptSettingsBeside 1
    ${EndIf}
    ${If} ${FileExists} "${PER_USER_SETTINGS_FOLDER}\${INI}"
      StrCpy $KeptSettingsPerUser 1
    ${EndIf}
  ${EndIf}
  SetDetailsPrint both
  ${If} $RemovedSettings = 1
    DetailPrint "$(DetailSettingsRemoved)"
  ${ElseIf} $KeptSettingsBeside = 1
  ${OrIf} $KeptSettingsPerUser = 1
    DetailPrint "$(DetailSettingsKept)"
  ${EndIf}

  ${If} $KeptProgramFiles = 1
    ; While a program stays in the folder, so do the uninstaller, its entry and the screensaver
    ; choice. At the user's next sign-in nothing runs from the folder any more: the uninstaller
    ; then runs once more, silently, and finishes.
    WriteRegStr HKCU "${RUN_ONCE_KEY}" "${RUN_ONCE_VALUE}" '"$INSTDIR\${UNINSTALLER}" /S'
    DetailPrint "$(DetailKeptFiles)"
    SetErrorLevel ${EXIT_RESTART_NEEDED}
    Return
  ${EndIf}

  ; The user's later choice of another screensaver stays.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 != ""
    ${If} $0 == "$INSTDIR\${SCR}"  ; LogicLib's == ignores case, as Windows paths do
    ${OrIf} $0 == $1
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      DetailPrint "$(DetailScreensaverOff)"
    ${EndIf}
  ${EndIf}
  SetDetailsPrint none
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: a kept settings file keeps its folder.
  RMDir "$INSTDIR"
  SetDetailsPrint both
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegValue HKCU "${RUN_ONCE_KEY}" "${RUN_ONCE_VALUE}"
  DetailPrint "$(DetailRemoved)"
SectionEnd
