; The per-user installer of the screensaver, built by the package target (cmake/installer.cmake):
;
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 -DFILE_VERSION=1.2.3.0 -DPUBLISHER=... \
;            -DFILES=<folder with the release files> -DICON=<.ico> -DOUTFILE=<setup.exe> installer.nsi
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

!define PRODUCT "メロヴァン"
!define SCR "メロヴァン.scr"
!define RENDERER "メロヴァン.dll"
!define INI "メロヴァン.ini"
!define PER_USER_SETTINGS_FOLDER "$APPDATA\Merovan"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Merovan"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; A folder the user can write, so the settings can be saved beside the program.
InstallDir "$LOCALAPPDATA\Programs\Merovan"
; An upgrade goes where the earlier version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

Var SetAsScreensaver   ; ${BST_CHECKED} or ${BST_UNCHECKED}
Var SetAsScreensaverBox
Var RemoveSettings     ; ${BST_CHECKED} or ${BST_UNCHECKED}
Var RemoveSettingsBox
Var SettingsOutcome    ; what the uninstaller did with the settings, for its last page

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
!define MUI_FINISHPAGE_TEXT "${PRODUCT}を削除しました。$\r$\n$\r$\n$SettingsOutcome"
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

Section "${PRODUCT}" SectionProgram
  SetOutPath "$INSTDIR"
  ; The settings file beside the program is the user's: an upgrade replaces only these.
  File "${FILES}\${SCR}"
  File "${FILES}\${RENDERER}"
  File "${FILES}\README.md"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

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

Section "Uninstall"
  ; The user's later choice of another screensaver stays. The short form of our path is only
  ; known while the file is still there.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$INSTDIR\${SCR}"
  ${If} $0 != ""
    ${If} $0 == "$INSTDIR\${SCR}"  ; LogicLib's == ignores case, as Windows paths do
    ${OrIf} $0 == $1
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      DetailPrint "スクリーンセーバーの設定を外しました。"
    ${EndIf}
  ${EndIf}

  Delete "$INSTDIR\${SCR}"
  Delete "$INSTDIR\${RENDERER}"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\${UNINSTALLER}"

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

  ; Only when empty: a kept settings file keeps its folder.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
