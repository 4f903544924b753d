#include "frontend/run_form.h"

#include "common/program_names.h"
#include "frontend/renderer_switches.h"
#include "music/background_music_win.h"

namespace merovan {
namespace {

enum TimerId : UINT_PTR { kMusicRepeatTimer = 1, kCdWatchTimer, kRendererWatchTimer };
constexpr UINT kMusicRepeatIntervalMs = 1000;
constexpr UINT kCdWatchIntervalMs = 200;
// How long a renderer whose window has gone has to end itself, and how long an ended one
// has to let go of its files.
constexpr DWORD kRendererExitWaitMs = 5000;

// What the first snapshot holds: the primary screen, or every monitor when the renderer
// is to cover them all.
RECT CaptureArea(const DisplayOptions& display) {
    if (display.everyMonitor)
        return forms::VirtualScreenPixels();
    return RECT{0, 0, forms::ScreenWidthPixels(), forms::ScreenHeightPixels()};
}

MusicSource MusicFor(const Settings& settings) {
    switch (KnownMusicKind(settings.musicKind).value_or(kNoMusic)) {
        case kAudioCd:
            return MusicSource::kAudioCd;
        case kMusicFile:
            return MusicFileSource(settings.musicFile);
        case kNoMusic:
        default:
            return MusicSource::kNone;
    }
}

// Whether the renderer process `id` shows its window: a top-level window of the renderer's
// class and title that belongs to that process. Another process's window of that name, an
// earlier renderer left running, is not this run's.
bool RendererWindowShown(DWORD id) {
    for (HWND window = FindWindowExW(nullptr, nullptr, kRendererWindowClass, kRendererWindowTitle);
         window != nullptr;
         window = FindWindowExW(nullptr, window, kRendererWindowClass, kRendererWindowTitle)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == id)
            return true;
    }
    return false;
}

}  // namespace

RunForm::RunForm(const Settings& settings)
    : settings_(settings),
      cdWatchTimer_(*this, kCdWatchTimer, kCdWatchIntervalMs, [this] { CheckCd(); }),
      musicRepeatTimer_(*this, kMusicRepeatTimer, kMusicRepeatIntervalMs,
                        [this] { music_->RestartTick(); }),
      rendererWatchTimer_(*this, kRendererWatchTimer, kWatchIntervalMs,
                          [this] { WatchRenderer(); }),
      watch_(GetTickCount64()) {}

RunStart RunForm::Load() {
    forms::FormStyle style;
    style.caption = kRunFormCaption;
    style.style = WS_POPUP;                // never shown
    rendererWatchTimer_.SetEnabled(true);  // the watch runs from the form's load
    if (!Create(style))
        return RunStart::kNoForm;
    ShowCursor(FALSE);  // the display counter it returns is of no use here
    pointerHidden_ = true;
    // Both files are complete before the renderer starts and reads them.
    snapshots_.emplace(CaptureArea(settings_.display));
    if (!StartRenderer()) {
        rendererWatchTimer_.SetEnabled(false);  // the caller's message must not be cut short
        ShowPointer();                          // for the user to answer it
        return RunStart::kRendererNotStarted;
    }
    StartMusic();
    return RunStart::kStarted;
}

bool RunForm::StartRenderer() {
    renderer_ = forms::StartProgram(forms::ProgramFolder() + L"\\" + kRendererFileName,
                                    RendererArguments(settings_.display, snapshots_->Paths()));
    return renderer_.process != nullptr;
}

void RunForm::StartMusic() {
    music_.emplace(WindowsMusicPlatform(), MusicFor(settings_), settings_.musicFile,
                   settings_.repeatTrack);
    cdWatchTimer_.SetEnabled(music_->WantsCdTicks());
    musicRepeatTimer_.SetEnabled(music_->WantsRestartTicks());
}

void RunForm::CheckCd() {
    music_->CdTick();
    cdWatchTimer_.SetEnabled(music_->WantsCdTicks());
}

void RunForm::WatchRenderer() {
    const bool windowFound = RendererWindowShown(renderer_.processId);
    const bool rendererExited = WaitForSingleObject(renderer_.process.get(), 0) != WAIT_TIMEOUT;
    if (watch_.ShouldEnd(windowFound, rendererExited, GetTickCount64()))
        EndRun(true);
}

void RunForm::EndRenderer(bool windowGone) {
    if (!renderer_.process)
        return;
    const HANDLE process = renderer_.process.get();
    if (WaitForSingleObject(process, windowGone ? kRendererExitWaitMs : 0) == WAIT_TIMEOUT)
        TerminateProcess(process, 0);
    WaitForSingleObject(process, kRendererExitWaitMs);
    renderer_ = forms::StartedProgram();
}

void RunForm::EndRun(bool rendererWindowGone) {
    // Runs on every way a run ends. The MP3 device is closed before the process goes: a
    // process that exits with it still open can crash on its way out.
    rendererWatchTimer_.SetEnabled(false);
    cdWatchTimer_.SetEnabled(false);
    musicRepeatTimer_.SetEnabled(false);
    music_.reset();
    // The snapshots go once the renderer, which reads them as it starts, has gone.
    EndRenderer(rendererWindowGone);
    snapshots_.reset();
    ShowPointer();
    PostQuitMessage(0);
}

void RunForm::ShowPointer() {
    if (pointerHidden_)
        ShowCursor(TRUE);
    pointerHidden_ = false;
}

LRESULT RunForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            EndRun(false);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;  // never refused; WM_ENDSESSION follows
        case WM_ENDSESSION:
            if (wParam)
                EndRun(false);  // all is done here: the process may end once this returns
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

}  // namespace merovan
