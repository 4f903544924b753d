// The settings window: the music source with custom marks, the CD track to repeat, the
// music file through the system's file-open dialog, the display options with the same
// marks, a sine-shaded background, saving to the settings file, and a link to the user's
// guide. It speaks Japanese or English as the user's Windows does, can be used with the
// keyboard alone, and tells screen readers what each control is.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "controls/caption_controls.h"
#include "controls/push_button.h"
#include "forms/accessible.h"
#include "forms/combo_box.h"
#include "forms/form.h"
#include "forms/graphics.h"
#include "forms/handles.h"
#include "forms/picture_surface.h"
#include "forms/ui_text.h"
#include "settings/settings_file.h"
#include "settings_dialog/dialog_logic.h"

namespace merovan {

// The window's caption in Japanese and in English; while a window has either, the program
// starts nothing else.
constexpr wchar_t kSettingsWindowCaption[] = L"<メロヴァン>";
constexpr wchar_t kSettingsWindowCaptionEnglish[] = L"Merovan Settings";

// A grey panel with a framed heading at its top; screen readers see it as a group.
class HeadedPanel : public forms::PictureSurface, private forms::AccessibleSource {
  public:
    forms::Outline headingFrame;
    forms::Label heading;

  protected:
    forms::AccessibleSource* Accessibility() override { return this; }

  private:
    forms::AccessibleFacts Facts() const override;
};

// The window's first panel, holding the music controls.
class MusicPanel : public HeadedPanel {
  public:
    controls::MarkOption choices[3];  // one a music kind: none, audio CD, file
    forms::Label repeatLabel;
    forms::Outline fileFrame;
    forms::Label fileName;
    forms::ComboBox repeatBox;
    controls::PushButton fileButton;
};

// The panel below it, holding one on/off mark and caption for each display option.
class DisplayPanel : public HeadedPanel {
  public:
    controls::MarkOption options[3];  // every monitor, paced frames, any input ends
};

class SettingsWindow : public forms::Form, private forms::AccessibleSource {
  public:
    SettingsWindow(const Settings& settings, const SettingsFiles& files);
    // Loads the window, shows it and returns when it has been unloaded.
    void ShowModal();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    forms::AccessibleSource* Accessibility() override { return this; }

  private:
    // AccessibleSource: the window, and every control in reading order as its children.
    forms::AccessibleFacts Facts() const override;
    std::vector<HWND> AccessibleChildren() const override;

    std::wstring Text(int id) const { return forms::LoadUiText(language_, id); }
    void Warn(const std::wstring& message) const;
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
    void StepChoice(int kind, int step);
    bool PressMnemonic(wchar_t key);
    void PickFile();
    void OpenLink();
    void Save();
    void Unload();

    Settings settings_;
    const SettingsFiles& files_;
    const forms::UiLanguage language_;
    LayoutScale scale_;
    std::optional<controls::ButtonFaces> faces_;  // before the buttons, which draw from it
    forms::PictureSurface backdrop_;              // the window's own shaded background
    MusicPanel panel_;
    DisplayPanel displayPanel_;
    controls::PushButton saveButton_;
    controls::PushButton cancelButton_;
    controls::Link guideLink_;
    // Each caption's mnemonic letter and what it does.
    std::vector<std::pair<wchar_t, std::function<void()>>> mnemonics_;
    forms::UniqueBitmap markOff_;
    forms::UniqueBitmap markOn_;
    forms::UniqueFont font_;
    forms::UniqueFont linkFont_;
    HCURSOR hand_ = nullptr;
    POINT zoomOrigin_{};  // the screen point the window zooms from and back to
    HWND lastFocus_ = nullptr;  // the control that gets the focus back when the window does
    bool done_ = false;
};

// Shows the settings window modally; returns when it has closed.
void ShowSettingsWindow(const Settings& settings, const SettingsFiles& files);

}  // namespace merovan
