// The settings window: the music source with custom marks, the CD track to repeat, the
// music file through the system's file-open dialog, a sine-shaded background, saving to
// the settings file, and a link to the home page.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/command.h"
#include "forms/combo_box.h"
#include "forms/form.h"
#include "forms/graphics.h"
#include "forms/handles.h"
#include "forms/picture_surface.h"

namespace merovan {

// The window's grey panel, holding the music controls.
class SettingsPanel : public forms::PictureSurface {
  public:
    forms::Outline Shape3_3;
    forms::Label lbl_15;
    forms::Image Img_BGM[3];
    forms::Label lbl_BGM[3];
    forms::Label lbl_14;
    forms::Outline fileFrame;
    forms::Label lbl_Fname_0;
    forms::ComboBox BGM_Repeat;
    controls::Command Cmd_File_0;
};

class Merovan_P : public forms::Form {
  public:
    Merovan_P();
    ~Merovan_P() override;
    // Loads the window, shows it and returns when it has been unloaded.
    void ShowModal();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    bool Build();
    void Load();
    void Shade();
    void Choose(int kind);
    void ShowChoice();
    void PickFile();
    void OpenLink();
    void Save();
    void Unload();

    forms::PictureSurface backdrop_;  // the window's own shaded background
    SettingsPanel Pic_C_0;
    controls::Command Cmd_Set;
    controls::Command Cmd_Can;
    forms::Label lbl_URL;
    forms::UniqueBitmap Img_Ra[2];  // the marks: not selected, selected
    forms::UniqueFont font_;
    forms::UniqueFont linkFont_;
    HCURSOR hand_ = nullptr;
    bool done_ = false;
};

// Shows the settings window modally with the loaded settings; returns when it has closed.
void ShowSettingsDialog();

}  // namespace merovan
