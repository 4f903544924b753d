// Places push buttons of several sizes so that they can be seen and driven under Wine.
// Each Click shows in the window's title: "ButtonHost <caption> <clicks>".
//
//   button_host
#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/push_button.h"
#include "forms/form.h"

namespace {

struct Placement {
    const wchar_t* caption;
    int x, y, width, height;
    bool enabled;
};

// The settings window's sizes (77 × 25, 41 × 21), the default size, and a degenerate one.
constexpr Placement kButtons[] = {
    {L"設定", 20, 20, 77, 25, true}, {L"ｷｬﾝｾﾙ", 110, 20, 77, 25, true},
    {L"...", 20, 70, 41, 21, false}, {L"Command1", 110, 70, 117, 28, true},
    {L"x", 250, 20, 6, 5, true},
};

class HostForm : public forms::Form {
  public:
    bool Open() {
        forms::FormStyle style;
        style.caption = L"ButtonHost";
        style.style = WS_POPUP | WS_VISIBLE;
        style.x = 300;
        style.y = 300;
        style.width = 280;
        style.height = 120;
        style.backColour = RGB(0xEC, 0xE9, 0xD8);
        faces_ = controls::ButtonFaces::Load();
        font_.reset(forms::CreateFontFor(controls::DefaultButtonFont()));
        if (!faces_ || !Create(style))
            return false;
        for (const Placement& place : kButtons) {
            auto button = std::make_unique<controls::PushButton>();
            button->Create(Hwnd(), place.x, place.y, place.width, place.height, *faces_,
                           font_.get());
            button->SetCaption(place.caption);
            button->Click = [this, &place] { OnClick(place.caption); };
            buttons_.push_back(std::move(button));
        }
        for (size_t i = 0; i < buttons_.size(); ++i) {
            buttons_[i]->StartTracking();
            if (!kButtons[i].enabled)
                buttons_[i]->SetEnabled(false);
        }
        return true;
    }

  private:
    void OnClick(const std::wstring& caption) {
        ++clicks_;
        const std::wstring title = L"ButtonHost " + caption + L" " + std::to_wstring(clicks_);
        SetWindowTextW(Hwnd(), title.c_str());
    }

    std::optional<controls::ButtonFaces> faces_;
    forms::UniqueFont font_;
    std::vector<std::unique_ptr<controls::PushButton>> buttons_;
    int clicks_ = 0;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HostForm host;
    if (!host.Open())
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab moves the focus between the buttons, as in a dialog.
        if (IsDialogMessageW(host.Hwnd(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
