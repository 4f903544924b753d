; What the installer (setup.nsi) and the uninstaller (uninstaller.nsi) share: the target, the
; names, the wizard's looks, the version resource, and the functions both call. Each script
; includes it first.

Unicode true
; A PE32+ program: 64-bit Windows runs it natively, and a 64-bit-only Wine runs nothing else.
Target amd64-unicode
ManifestDPIAware true
; Everything goes under the user's own folders and HKCU: no administrator.
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include WinMessages.nsh

!include "${NAMES}"
!define PER_USER_SETTINGS_FOLDER "$APPDATA\${PER_USER_FOLDER}"
!define UNINSTALLER "uninstall.exe"
!define README "README.html"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PACKAGE}"
!define DESKTOP_KEY "Control Panel\Desktop"
!define RUN_ONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define RUN_ONCE_VALUE "${PACKAGE}"
; How long one window of a running screensaver may take to end once asked to close.
!define END_WAIT_MS 15000
; Win32 values the System calls use.
!define SYNCHRONIZE 0x00100000
; Exit codes: the install did not happen; the uninstall finishes at the next sign-in.
!define EXIT_NOT_INSTALLED 2
!define EXIT_RESTART_NEEDED 3010

Name "$(ProductName)"
; A folder the user can write, so the settings can be saved beside the program.
InstallDir "$LOCALAPPDATA\Programs\${PACKAGE}"
; An upgrade, and the uninstaller, go where the earlier version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
BrandingText "$(Branding)"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PICTURES}\wizard_side.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${PICTURES}\wizard_side.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${PICTURES}\wizard_header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "${PICTURES}\wizard_header.bmp"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

; The wizard's languages, inserted after the pages: English first, for every Windows that is
; not Japanese.
!macro LANGUAGES
  !insertmacro MUI_LANGUAGE "English"
  !insertmacro MUI_LANGUAGE "Japanese"
  LangString ProductName ${LANG_ENGLISH} "${PACKAGE}"
  LangString ProductName ${LANG_JAPANESE} "${PRODUCT}"
  LangString Branding ${LANG_ENGLISH} "${PACKAGE} ${VERSION}"
  LangString Branding ${LANG_JAPANESE} "${PRODUCT} ${VERSION}"
  ; The stock Japanese button is in half-width katakana; in full width the word would not fit.
  LangString ^UninstallBtn ${LANG_JAPANESE} "削除(&U)"
!macroend

; The version resource, in both languages: the description says which program this is.
!macro VERSION_INFO DESCRIPTION_ENGLISH DESCRIPTION_JAPANESE ORIGINAL_FILENAME
  VIProductVersion "${FILE_VERSION}"
  VIFileVersion "${FILE_VERSION}"
  !insertmacro VERSION_INFO_LANGUAGE ${LANG_ENGLISH} "${PACKAGE}" "${DESCRIPTION_ENGLISH}" "${ORIGINAL_FILENAME}"
  !insertmacro VERSION_INFO_LANGUAGE ${LANG_JAPANESE} "${PRODUCT}" "${DESCRIPTION_JAPANESE}" "${ORIGINAL_FILENAME}"
!macroend

!macro VERSION_INFO_LANGUAGE LANGUAGE PRODUCT_NAME DESCRIPTION ORIGINAL_FILENAME
  VIAddVersionKey /LANG=${LANGUAGE} "ProductName" "${PRODUCT_NAME}"
  VIAddVersionKey /LANG=${LANGUAGE} "ProductVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANGUAGE} "FileVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANGUAGE} "FileDescription" "${DESCRIPTION}"
  VIAddVersionKey /LANG=${LANGUAGE} "CompanyName" "${PUBLISHER}"
  VIAddVersionKey /LANG=${LANGUAGE} "LegalCopyright" "${COPYRIGHT}"
  VIAddVersionKey /LANG=${LANGUAGE} "OriginalFilename" "${ORIGINAL_FILENAME}"
!macroend

; The functions both programs call, defined with the prefix each needs ("" or "un.").
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
    Push "${SETTINGS_CAPTION_ENGLISH}"
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

; The folder path on the stack broken into lines that each fit the width of the text control
; whose handle lies below it, in the control's own font. Lines break only after a "\", so no
; name is ever cut; a single name wider than the control keeps a line of its own. A control
; that wraps its text by itself leaves these lines alone, as each fits.
Function ${un}FitPath
  Exch $0  ; the path
  Exch
  Exch $1  ; the control
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  Push $9
  Push $R0
  System::Call 'user32::GetDC(p r1) p .r2'
  SendMessage $1 ${WM_GETFONT} 0 0 $3
  System::Call 'gdi32::SelectObject(p r2, p r3) p .r3'  ; $3: the font it replaced
  System::Call '*(i, i, i, i) p .r4'
  System::Call 'user32::GetClientRect(p r1, p r4) i'
  System::Call '*$4(i, i, i .r5, i)'  ; $5: the width
  System::Free $4
  System::Call '*(i, i) p .r4'  ; a SIZE for the measures
  StrCpy $6 ""  ; the lines so far
  StrCpy $7 ""  ; the line being filled
  StrCpy $8 ""  ; the name being read, with its "\"
  ${Do}
    StrCpy $9 $0 1
    StrCpy $0 $0 "" 1
    StrCpy $8 "$8$9"
    ${If} $9 == "\"
    ${OrIf} $0 == ""
      StrCpy $9 "$7$8"
      StrLen $R0 $9
      System::Call 'gdi32::GetTextExtentPoint32W(p r2, w r9, i R0, p r4) i'
      System::Call '*$4(i .R0, i)'
      ${If} $R0 > $5
      ${AndIf} $7 != ""
        StrCpy $6 "$6$7$\r$\n"
        StrCpy $7 $8
      ${Else}
        StrCpy $7 "$7$8"
      ${EndIf}
      StrCpy $8 ""
    ${EndIf}
  ${LoopUntil} $0 == ""
  System::Free $4
  System::Call 'gdi32::SelectObject(p r2, p r3) p'
  System::Call 'user32::ReleaseDC(p r1, p r2) i'
  StrCpy $0 "$6$7"
  Pop $R0
  Pop $9
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
