// The hidden run form: copies the desktop into the two snapshot files, starts the renderer,
// keeps the music going and ends the program once the renderer's window has gone.
#pragma once

#include <optional>

#include "forms/form.h"
#include "forms/picture_surface.h"
#include "forms/program.h"
#include "forms/timer.h"
#include "frontend/run_watch.h"
#include "music/music_choice.h"
#include "settings/settings.h"

namespace merovan {

// The run form's caption; while a window has it, the program starts nothing else.
constexpr wchar_t kRunFormCaption[] = L"Merovan_Main";

enum class RunStart {
    kStarted,
    kNoForm,              // the form's window could not be made
    kRendererNotStarted,  // the renderer's process could not be made; nothing else started
};

class RunForm : public forms::Form {
  public:
    // `pointerHidden`: the run hid the pointer and shows it again at its end.
    RunForm(const Settings& settings, bool pointerHidden);
    // Creates the hidden form, writes the snapshots and starts the renderer and the music.
    RunStart Load();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void CaptureDesktop(const RECT& area);
    bool StartRenderer();
    void StartMusic();
    void CheckCd();
    void WatchRenderer();
    // Shutdown: stops the music, gives the pointer back and ends the program.
    [[noreturn]] void OnClose();

    Settings settings_;
    bool pointerHidden_;
    forms::PictureSurface backgroundPicture_;  // never drawn on: the solid black second file
    forms::PictureSurface desktopPicture_;     // the desktop, upside down: the first file
    forms::Timer cdWatchTimer_;
    forms::Timer musicRepeatTimer_;
    forms::Timer rendererWatchTimer_;
    forms::UniqueHandle rendererProcess_;
    RunWatch watch_;
    std::optional<PlayingMusic> music_;
};

// Loads the run form; its message loop then runs the run when it has started.
RunStart LoadRunForm(const Settings& settings, bool pointerHidden);

}  // namespace merovan
