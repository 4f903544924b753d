// The hidden run form: writes the two snapshot pictures, starts the renderer, keeps the
// music going and ends the run once the renderer's window has gone.
#pragma once

#include <optional>

#include "forms/form.h"
#include "forms/program.h"
#include "forms/timer.h"
#include "frontend/run_watch.h"
#include "frontend/snapshots_win.h"
#include "music/background_music.h"
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
    explicit RunForm(const Settings& settings);
    // Creates the hidden form, hides the pointer, writes the snapshots and starts the
    // renderer and the music. Once started, the run lasts until the message loop ends;
    // otherwise the pointer shows again.
    RunStart Load();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    bool StartRenderer();
    void StartMusic();
    void CheckCd();
    void WatchRenderer();
    void ShowPointer();
    // Ends the renderer, at once or, when `windowGone`, once it has had time to end itself.
    void EndRenderer(bool windowGone);
    // Shutdown: stops the music, ends the renderer, removes the snapshots, gives the pointer
    // back and ends the message loop.
    void EndRun(bool rendererWindowGone);

    Settings settings_;
    bool pointerHidden_ = false;
    forms::Timer cdWatchTimer_;
    forms::Timer musicRepeatTimer_;
    forms::Timer rendererWatchTimer_;
    std::optional<Snapshots> snapshots_;
    forms::StartedProgram renderer_;
    RunWatch watch_;
    std::optional<BackgroundMusic> music_;
};

}  // namespace merovan
