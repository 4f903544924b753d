#include "frontend/startup.h"

#include <windows.h>

#include <optional>

#include "common/program_names.h"
#include "forms/program.h"
#include "forms/ui_text.h"
#include "frontend/command_line.h"
#include "frontend/preview_form.h"
#include "frontend/resources.h"
#include "frontend/run_form.h"
#include "frontend/settings_disk_win.h"
#include "settings_dialog/settings_window.h"

namespace merovan {
namespace {

// Held by a run or a settings window for its whole life, in the session's namespace.
constexpr wchar_t kRunMarkName[] = L"Local\\Merovan_Main";

// Two starts at the same moment can both pass the caption test, but only one of them can
// create the mark. None when another process holds it. A mark that could not be made at
// all is an empty handle: the caption test still guards the run then.
std::optional<forms::UniqueHandle> TakeRunMark() {
    SetLastError(ERROR_SUCCESS);
    forms::UniqueHandle mark(CreateMutexW(nullptr, FALSE, kRunMarkName));
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED)
        return std::nullopt;
    return mark;
}

// A message box in the user's language, titled with the program's name.
void Tell(int text) {
    const forms::UiLanguage language = forms::UserUiLanguage();
    MessageBoxW(nullptr, forms::LoadUiText(language, text).c_str(),
                forms::LoadUiText(language, IDS_PROGRAM_NAME).c_str(), MB_OK);
}

int StartPreviewMode(const std::wstring& arguments) {
    const std::optional<int32_t> number = PreviewWindowNumber(arguments);
    PreviewForm form;  // lives until the message loop ends
    if (!number || !form.Start(reinterpret_cast<HWND>(static_cast<intptr_t>(*number))))
        return 0;
    return forms::RunMessageLoop();
}

}  // namespace

int Main() {
    // Beside a run or an open settings window nothing else starts, whatever the switch.
    if (FindWindowW(nullptr, kRunFormCaption) != nullptr ||
        FindWindowW(nullptr, kSettingsWindowCaption) != nullptr ||
        FindWindowW(nullptr, kSettingsWindowCaptionEnglish) != nullptr) {
        return 0;
    }
    const std::wstring arguments = ArgumentsOf(GetCommandLineW());
    const Mode mode = ModeOf(arguments);
    if (mode == Mode::kPreview)
        return StartPreviewMode(arguments);  // holds no mark: a run may start beside it
    // A run or a settings window holds the mark until the process ends.
    std::optional<forms::UniqueHandle> runMark;
    if (mode != Mode::kEnd) {
        runMark = TakeRunMark();
        if (!runMark)
            return 0;
    }

    const SettingsFiles files = WindowsSettingsFiles();
    const Settings settings = LoadSettings(files);
    if (!FileExists(forms::ProgramFolder() + L"\\" + kRendererFileName)) {
        Tell(IDS_MISSING_RENDERER);
        return 0;
    }
    if (mode == Mode::kSettings) {
        ShowSettingsWindow(settings, files);
        return 0;
    }
    if (mode == Mode::kEnd)
        return 0;
    RunForm form(settings);  // lives until the message loop ends
    switch (form.Load()) {
        case RunStart::kStarted:
            return forms::RunMessageLoop();
        case RunStart::kRendererNotStarted:
            Tell(IDS_RENDERER_NOT_STARTED);
            return 0;
        case RunStart::kNoForm:
        default:
            return 0;
    }
}

}  // namespace merovan
