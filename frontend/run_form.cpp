#include "frontend/run_form.h"

#include "common/program_names.h"
#include "forms/files.h"
#include "forms/program.h"
#include "frontend/desktop_picture_win.h"
#include "frontend/renderer_switches.h"
#include "frontend/snapshot_files.h"
#include "music/background_music_win.h"

namespace merovan {
namespace {

enum TimerId : UINT_PTR { kMusicRepeatTimer = 1, kCdWatchTimer, kRendererWatchTimer };
constexpr UINT kMusicRepeatIntervalMs = 1000;
constexpr UINT kCdWatchIntervalMs = 200;

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

bool WriteWhole(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    return forms::WriteWholeFile(path, bytes.data(), bytes.size());
}

}  // namespace

RunForm::RunForm(const Settings& settings, bool hidePointer)
    : settings_(settings),
      hidePointer_(hidePointer),
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
    if (hidePointer_) {
        ShowCursor(FALSE);  // the display counter it returns is of no use here
        pointerHidden_ = true;
    }
    WriteSnapshots();  // both files are complete before the renderer starts and reads them
    if (!StartRenderer()) {
        rendererWatchTimer_.SetEnabled(false);  // the caller's message must not be cut short
        ShowPointer();                          // for the user to answer it
        return RunStart::kRendererNotStarted;
    }
    StartMusic();
    return RunStart::kStarted;
}

void RunForm::WriteSnapshots() {
    const std::wstring temp = UserTempFolder(GetTempPathW);
    if (const auto desktop = DesktopPictureFile(CaptureArea(settings_.display))) {
        WriteSnapshot(kSheetSnapshot, temp,
                      [&desktop](const std::wstring& path) { return WriteWhole(path, *desktop); });
    }
    const std::vector<uint8_t> background = BackgroundPictureFile();
    WriteSnapshot(kBackgroundSnapshot, temp,
                  [&background](const std::wstring& path) { return WriteWhole(path, background); });
}

bool RunForm::StartRenderer() {
    rendererProcess_ = forms::StartProgram(forms::ProgramFolder() + L"\\" + kRendererFileName,
                                           RendererArguments(settings_.display))
                           .process;
    return rendererProcess_ != nullptr;
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
    const bool windowFound = FindWindowW(nullptr, kRendererWindowTitle) != nullptr;
    const bool rendererExited =
        !rendererProcess_ || WaitForSingleObject(rendererProcess_.get(), 0) == WAIT_OBJECT_0;
    if (watch_.ShouldEnd(windowFound, rendererExited, GetTickCount64()))
        EndRun();
}

void RunForm::EndRun() {
    // Runs on every way a run ends. The MP3 device is closed before the process goes: a
    // process that exits with it still open can crash on its way out.
    rendererWatchTimer_.SetEnabled(false);
    cdWatchTimer_.SetEnabled(false);
    musicRepeatTimer_.SetEnabled(false);
    music_.reset();
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
            EndRun();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;  // never refused; WM_ENDSESSION follows
        case WM_ENDSESSION:
            if (wParam)
                EndRun();  // all is done here: the process may end once this returns
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

}  // namespace merovan
