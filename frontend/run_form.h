// The hidden run form: copies the desktop into the two snapshot files, starts the renderer,
// keeps the music going and ends the program once the renderer's window has gone.
#pragma once

#include <string>

#include "forms/form.h"
#include "forms/picture_surface.h"
#include "forms/program.h"
#include "forms/timer.h"
#include "frontend/run_watch.h"
#include "music/merovan_bgm.h"

namespace merovan {

class RunForm : public forms::Form {
  public:
    RunForm();
    // Creates the hidden form and runs its load handler.
    bool Load();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void CaptureDesktop();
    void StartRenderer();
    void StartMusic();
    void Timer1Tick();
    void Timer2Tick();
    void Timer3Tick();
    // Shutdown: stops the music, gives the pointer back and ends the program.
    [[noreturn]] void OnClose();

    forms::PictureSurface Pic_Back;  // never drawn on: the solid black second file
    forms::PictureSurface Display;   // the desktop, upside down: the first file
    forms::Timer Timer2;             // CD supervision
    forms::Timer Timer1;             // MP3 repeat
    forms::Timer Timer3;             // renderer watch
    std::wstring RendererPath;
    int32_t FormResult = 0;
    forms::UniqueHandle rendererProcess_;
    RunWatch watch_;
    Merovan_BGM music_;
};

// Loads the run form; false when its window could not be made.
bool LoadRunForm();

}  // namespace merovan
