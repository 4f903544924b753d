// The settings window: the music source with custom marks, the CD track to repeat, the
// music file through the system's file-open dialog, the display options with the same
// marks, a sine-shaded background, saving to the settings file, and a link to the home
// page.
#pragma once

#include <windows.h>

#include <optional>

#include "controls/push_button.h"
#include "forms/combo_box.h"
#include "forms/form.h"
#include "forms/graphics.h"
#include "forms/handles.h"
#include "forms/picture_surface.h"
#include "settings/settings_file.h"
#include "settings_dialog/dialog_logic.h"

namespace merovan {

// The window's caption; while a window has it, the program starts nothing else.
constexpr wchar_t kSettingsWindowCaption[] = L"<メロヴァン>";

// A grey panel with a framed heading at its top.
class HeadedPanel : public forms::PictureSurface {
  public:
    forms::Outline headingFrame;
    forms::Label heading;
};

// The window's first panel, holding the music controls.
class MusicPanel : public HeadedPanel {
  public:
    forms::Image marks[3];  // one a music kind: none, audio CD, file
    forms::Label choiceLabels[3];
    forms::Label repeatLabel;
    forms::Outline fileFrame;
    forms::Label fileName;
    forms::ComboBox repeatBox;
    controls::PushButton fileButton;
};

// The panel below it, holding one on/off mark and caption for each display option.
class DisplayPanel : public HeadedPanel {
  public:
    forms::Image marks[3];  // one an option: every monitor, paced frames, any input ends
    forms::Label captions[3];
};

class SettingsWindow : public forms::Form {
  public:
    SettingsWindow(const Settings& settings, const SettingsFiles& files);
    // Loads the window, shows it and returns when it has been unloaded.
    void ShowModal();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    bool Build();
    bool CreateWindowAndPanel();
    void PlaceButtons();
    void PlaceMusicChoices();
    void PlaceDisplayOptions();
    void PlaceLink();
    void Load();
    void Shade();
    void Choose(int kind);
    void ShowChoice();
    void Toggle(int option);
    void ShowDisplayOptions();
    void PickFile();
    void OpenLink();
    void Save();
    void Unload();

    Settings settings_;
    const SettingsFiles& files_;
    LayoutScale scale_;
    std::optional<controls::ButtonFaces> faces_;  // before the buttons, which draw from it
    forms::PictureSurface backdrop_;              // the window's own shaded background
    MusicPanel panel_;
    DisplayPanel displayPanel_;
    controls::PushButton saveButton_;
    controls::PushButton cancelButton_;
    forms::Label homePageLink_;
    forms::UniqueBitmap markOff_;
    forms::UniqueBitmap markOn_;
    forms::UniqueFont font_;
    forms::UniqueFont linkFont_;
    HCURSOR hand_ = nullptr;
    POINT zoomOrigin_{};  // the screen point the window zooms from and back to
    bool done_ = false;
};

// Shows the settings window modally; returns when it has closed.
void ShowSettingsWindow(const Settings& settings, const SettingsFiles& files);

}  // namespace merovan
