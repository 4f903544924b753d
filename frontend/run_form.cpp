#include "frontend/run_form.h"

#include "common/program_names.h"
#include "forms/files.h"
#include "forms/handles.h"
#include "frontend/renderer_switches.h"
#include "frontend/snapshot_files.h"
#include "music/background_music_win.h"

namespace merovan {
namespace {

constexpr UINT kMusicRepeatIntervalMs = 1000;
constexpr UINT kCdWatchIntervalMs = 200;
// The second file's picture.
constexpr int kBackWidthPx = 93;
constexpr int kBackHeightPx = 85;

// What the first snapshot holds: the primary screen, or every monitor when the renderer
// is to cover them all.
RECT CaptureArea(const DisplayOptions& display) {
    if (display.everyMonitor)
        return forms::VirtualScreenPixels();
    return RECT{0, 0, forms::ScreenWidthPixels(), forms::ScreenHeightPixels()};
}

}  // namespace

RunForm::RunForm(const Settings& settings, bool pointerHidden)
    : settings_(settings),
      pointerHidden_(pointerHidden),
      cdWatchTimer_(*this, 2, kCdWatchIntervalMs, [this] { CheckCd(); }),
      musicRepeatTimer_(*this, 1, kMusicRepeatIntervalMs, [this] { music_->RestartTick(); }),
      rendererWatchTimer_(*this, 3, kWatchIntervalMs, [this] { WatchRenderer(); }),
      watch_(GetTickCount64()) {}

RunStart RunForm::Load() {
    const RECT area = CaptureArea(settings_.display);
    forms::FormStyle style;
    style.caption = kRunFormCaption;
    style.style = WS_POPUP;  // never shown
    style.width = area.right - area.left;
    style.height = area.bottom - area.top;
    rendererWatchTimer_.SetEnabled(true);  // the watch runs from the form's load
    if (!Create(style))
        return RunStart::kNoForm;

    backgroundPicture_.Create(Hwnd(), 0, 0, kBackWidthPx, kBackHeightPx);
    desktopPicture_.Create(Hwnd(), 0, 0, style.width, style.height);

    CaptureDesktop(area);
    const std::wstring temp = UserTempFolder(GetTempPathW);
    // Both files are complete before the renderer starts and reads them.
    WriteSnapshot(kSheetSnapshot, temp,
                  [this](const std::wstring& path) { return desktopPicture_.SaveBitmap(path); });
    WriteSnapshot(kBackgroundSnapshot, temp,
                  [this](const std::wstring& path) { return backgroundPicture_.SaveBitmap(path); });
    if (!StartRenderer()) {
        rendererWatchTimer_.SetEnabled(false);  // the caller's message must not be cut short
        return RunStart::kRendererNotStarted;
    }
    StartMusic();
    return RunStart::kStarted;
}

void RunForm::CaptureDesktop(const RECT& area) {
    // A 1:1 copy turned over in memory: a mirrored StretchBlt lands one row off under Wine,
    // and the picture must be the screen exactly, pixel (x, y) being screen (x, H − 1 − y).
    // The screen's DC spans every monitor, in coordinates with the primary one's top-left
    // at 0, 0, so monitors left of or above it are read at negative coordinates.
    const forms::WindowDC screen(nullptr);
    BitBlt(desktopPicture_.Canvas(), 0, 0, desktopPicture_.Width(), desktopPicture_.Height(),
           screen.Get(), area.left, area.top, SRCCOPY);
    desktopPicture_.FlipRows();
    desktopPicture_.Refresh();
}

bool RunForm::StartRenderer() {
    rendererProcess_ = forms::StartProgram(forms::ProgramFolder() + L"\\" + kRendererFileName,
                                           RendererArguments(settings_.display))
                           .process;
    return rendererProcess_ != nullptr;
}

void RunForm::StartMusic() {
    music_.emplace(WindowsMusicPlatform(), ChooseMusic(settings_.musicKind, settings_.musicFile),
                   settings_.musicFile);
    cdWatchTimer_.SetEnabled(music_->WantsCdTicks());
    musicRepeatTimer_.SetEnabled(music_->WantsRestartTicks());
}

void RunForm::CheckCd() {
    music_->CdTick(settings_.repeatTrack);
    cdWatchTimer_.SetEnabled(music_->WantsCdTicks());
}

void RunForm::WatchRenderer() {
    const bool windowFound = FindWindowW(nullptr, kRendererWindowTitle) != nullptr;
    const bool rendererExited =
        !rendererProcess_ || WaitForSingleObject(rendererProcess_.get(), 0) == WAIT_OBJECT_0;
    if (watch_.ShouldEnd(windowFound, rendererExited, GetTickCount64())) {
        rendererWatchTimer_.SetEnabled(false);
        OnClose();
    }
}

void RunForm::OnClose() {
    // Runs on every way a run ends, and the process ends without unwinding: a process that
    // exits with the MP3 device still open can crash on its way out.
    cdWatchTimer_.SetEnabled(false);
    musicRepeatTimer_.SetEnabled(false);
    music_.reset();
    if (pointerHidden_)
        ShowCursor(TRUE);  // the display counter it returns is of no use here
    forms::EndProgram();
}

LRESULT RunForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            OnClose();  // ends the program
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;  // never refused; WM_ENDSESSION follows
        case WM_ENDSESSION:
            if (wParam)
                OnClose();
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

RunStart LoadRunForm(const Settings& settings, bool pointerHidden) {
    // The form lives as long as the program, which ends from within it.
    static RunForm form(settings, pointerHidden);
    return form.Load();
}

}  // namespace merovan
