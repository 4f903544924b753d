#include "frontend/run_form.h"

#include "forms/files.h"
#include "forms/handles.h"
#include "frontend/command_line.h"
#include "frontend/merovan_b.h"
#include "frontend/snapshot_files.h"
#include "music/merovan_bgm_win.h"

namespace merovan {
namespace {

constexpr UINT kTimer1IntervalMs = 1000;
constexpr UINT kTimer2IntervalMs = 200;
// The second file's picture: 1395 × 1275 twips as designed, 93 × 85 pixels at 96 dpi.
constexpr int kBackWidthTwips = 1395;
constexpr int kBackHeightTwips = 1275;

}  // namespace

RunForm::RunForm()
    : Timer2(*this, 2, kTimer2IntervalMs, [this] { Timer2Tick(); }),
      Timer1(*this, 1, kTimer1IntervalMs, [this] { Timer1Tick(); }),
      Timer3(*this, 3, kWatchIntervalMs, [this] { Timer3Tick(); }),
      watch_(GetTickCount64()),
      music_(WindowsMusicPlatform()) {}

bool RunForm::Load() {
    forms::FormStyle style;
    style.caption = kRunFormCaption;
    style.style = WS_POPUP;  // never shown
    style.width = forms::ScreenWidthPixels();
    style.height = forms::ScreenHeightPixels();
    Timer3.SetEnabled(true);  // the watch runs from the form's load
    if (!Create(style))
        return false;

    Pic_Back.Create(Hwnd(), 0, 0, kBackWidthTwips / forms::TwipsPerPixelX(),
                    kBackHeightTwips / forms::TwipsPerPixelY());
    Display.Create(Hwnd(), 0, 0, style.width, style.height);

    CaptureDesktop();
    const std::wstring temp = forms::TempFolder();
    // Both files are complete before the renderer starts and reads them.
    WriteSnapshot(1, temp, [this](const std::wstring& path) { return Display.SaveBitmap(path); });
    WriteSnapshot(2, temp, [this](const std::wstring& path) { return Pic_Back.SaveBitmap(path); });
    StartRenderer();
    StartMusic();
    return true;
}

void RunForm::CaptureDesktop() {
    // A 1:1 copy turned over in memory: a mirrored StretchBlt lands one row off under Wine,
    // and the picture must be the screen exactly, pixel (x, y) being screen (x, H − 1 − y).
    const HWND desktop = GetDesktopWindow();
    const forms::WindowDC screen(desktop);
    FormResult = BitBlt(Display.Canvas(), 0, 0, Display.Width(), Display.Height(), screen.Get(), 0,
                        0, SRCCOPY);
    Display.FlipRows();
    Display.Refresh();
}

void RunForm::StartRenderer() {
    RendererPath = forms::ProgramFolder() + L"\\" + kRendererFileName;
    forms::StartedProgram renderer = forms::StartProgram(RendererPath);
    FormResult = static_cast<int32_t>(renderer.processId);
    rendererProcess_ = std::move(renderer.process);
}

void RunForm::StartMusic() {
    if (g_settings.BgmKind == kBgmCd) {
        music_.OpenCdAudio();
        Timer2.SetEnabled(true);  // the first tick decides whether polling goes on
    } else if (g_settings.BgmKind == kBgmFile) {
        if (HasExtension(g_settings.BgmFile, L"WAV"))
            music_.PlayWav(g_settings.BgmFile);
        if (HasExtension(g_settings.BgmFile, L"MP3")) {
            music_.PlayMp3(g_settings.BgmFile);
            Timer1.SetEnabled(true);
        }
    }
}

void RunForm::Timer1Tick() {
    music_.RepeatMp3();
}

void RunForm::Timer2Tick() {
    music_.CheckCdAudio(g_settings.BgmRepeat);
    Timer2.SetEnabled(music_.CdKeepPolling());
}

void RunForm::Timer3Tick() {
    const bool windowFound = FindWindowW(nullptr, kRendererWindowTitle) != nullptr;
    const bool rendererExited =
        !rendererProcess_ || WaitForSingleObject(rendererProcess_.get(), 0) == WAIT_OBJECT_0;
    if (watch_.ShouldEnd(windowFound, rendererExited, GetTickCount64())) {
        Timer3.SetEnabled(false);
        OnClose();
    }
}

void RunForm::OnClose() {
    // Runs on every way a run ends: a process that exits with the MP3 device still open
    // can crash on its way out.
    if (Timer2.Enabled()) {
        Timer2.SetEnabled(false);
        music_.StopCdAudio();
    }
    if (g_settings.BgmKind == kBgmFile) {
        if (HasExtension(g_settings.BgmFile, L"WAV"))
            music_.StopWav();
        if (HasExtension(g_settings.BgmFile, L"MP3")) {
            Timer1.SetEnabled(false);
            music_.StopMp3();
        }
    }
    if (SwitchLetter(CommandArguments()) == L'S') {
        CursorCount = ShowCursor(TRUE);
    }
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

bool LoadRunForm() {
    static RunForm form;
    return form.Load();
}

}  // namespace merovan
