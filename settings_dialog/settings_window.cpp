#include "settings_dialog/settings_window.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "forms/mnemonic.h"
#include "forms/graphics.h"
#include "forms/program.h"
#include "settings_dialog/dialog_logic.h"
#include "settings_dialog/settings_resources.h"

namespace merovan {
namespace {

#ifndef MEROVAN_HOME_LINK
#define MEROVAN_HOME_LINK ""
#endif
// The address the link opens when the build names one; otherwise the installed guide.
constexpr wchar_t kHomeLink[] = L"" MEROVAN_HOME_LINK;
constexpr wchar_t kGuideFile[] = L"README.html";
constexpr DWORD kFileNameChars = 255;
// The zoom that draws a caption growing from or shrinking to a point.
constexpr UINT kIdaniCaption = 3;

// Why a save did not happen, as the user is told it.
int WhyNotSaved(FileProblem problem) {
    switch (problem) {
        case FileProblem::kTooLarge:
            return IDS_FILE_TOO_LARGE;
        case FileProblem::kInUse:
            return IDS_FILE_IN_USE;
        case FileProblem::kUnwritable:
            return IDS_FILE_UNWRITABLE;
        case FileProblem::kCannotHold:
            return IDS_FILE_CANNOT_HOLD;
        case FileProblem::kMissing:  // a missing file is made, so never reported
        case FileProblem::kUnreadable:
        default:
            return IDS_FILE_UNREADABLE;
    }
}

// "%1" in a text replaced by `value`.
std::wstring WithValue(std::wstring text, const std::wstring& value) {
    const size_t at = text.find(L"%1");
    if (at != std::wstring::npos)
        text.replace(at, 2, value);
    return text;
}

// Layout in pixels at 96 dots per inch; LayoutScale fits it to the screen.
struct Box {
    int left, top, width, height;
};
constexpr Box kPanel{12, 16, 469, 165};
// The display panel stands below the music panel with the same margin as above it; the
// window grows by exactly these two, and what stands below the panels moves down by as much.
constexpr int kPanelMarginPx = 16;
constexpr Box kDisplayPanel{12, kPanel.top + kPanel.height + kPanelMarginPx, 469, 125};
constexpr int kGrowthPx = kPanelMarginPx + kDisplayPanel.height;
constexpr int kClientWidthPx = 496;
constexpr int kClientHeightPx = 243 + kGrowthPx;
constexpr COLORREF kWindowBack = RGB(192, 192, 192);
constexpr COLORREF kLinkColour = RGB(255, 255, 255);
constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // no sizing, no min/max

constexpr Box kSetButton{324, 200 + kGrowthPx, 77, 25};
constexpr Box kCancelButton{404, 200 + kGrowthPx, 77, 25};
constexpr Box kLink{12, 208 + kGrowthPx, 207, 13};
constexpr Box kHeadingFrame{20, 20, 113, 21};
constexpr Box kHeading{20, 24, 111, 13};
constexpr Box kMarks[3] = {{28, 76, 13, 13}, {28, 56, 13, 13}, {28, 96, 13, 13}};
constexpr POINT kChoiceCaptions[3] = {{44, 76}, {44, 56}, {44, 96}};
constexpr int kChoiceTexts[3] = {IDS_CHOICE_NONE, IDS_CHOICE_CD, IDS_CHOICE_FILE};
// The choices top to bottom, as the arrow keys go through them: audio CD, none, file.
constexpr int kChoicesDown[3] = {1, 0, 2};
constexpr int kChoiceCd = 1;
constexpr Box kRepeatBox{112, 52, 41, 20};
constexpr int kRepeatBoxGap = 8;  // at least between the CD choice's caption and the box
constexpr Box kRepeatLabel{156, 56, 66, 13};
constexpr Box kFileButton{28, 116, 41, 21};
constexpr Box kFileLabel{72, 116, 373, 33};
// In the display panel: the heading as in the music panel, then one row an option.
constexpr Box kOptionMarks[3] = {{28, 56, 13, 13}, {28, 76, 13, 13}, {28, 96, 13, 13}};
constexpr POINT kOptionCaptions[3] = {{44, 56}, {44, 76}, {44, 96}};
constexpr int kOptionTexts[3] = {IDS_OPTION_EVERY_MONITOR, IDS_OPTION_PACED_FRAMES,
                                 IDS_OPTION_ANY_INPUT_ENDS};
bool DisplayOptions::*const kOptionFields[3] = {
    &DisplayOptions::everyMonitor, &DisplayOptions::pacedFrames, &DisplayOptions::anyInputEnds};

RECT PixelRect(const Box& box, const LayoutScale& scale) {
    return RECT{scale.X(box.left), scale.Y(box.top), scale.X(box.left) + scale.X(box.width),
                scale.Y(box.top) + scale.Y(box.height)};
}

POINT PixelPoint(POINT at, const LayoutScale& scale) {
    return POINT{scale.X(at.x), scale.Y(at.y)};
}

// In Japanese the labels use the buttons' font; elsewhere the system's message font, since
// the Japanese font may be missing. The link's is underlined.
HFONT MakeFont(forms::UiLanguage language, bool underline) {
    if (language != forms::UiLanguage::kJapanese)
        return forms::CreateMessageFont(underline);
    forms::FontSpec spec = controls::DefaultButtonFont();
    spec.underline = underline;
    return forms::CreateFontFor(spec);
}

// Wide enough for its caption: a button grows to the left where its text needs it.
RECT FitCaption(RECT place, const std::wstring& caption, HFONT font, HDC measuring) {
    constexpr int kPaddingPx = 8;
    const forms::Selection selected(measuring, font);
    const std::wstring shown = forms::WithoutMnemonic(caption);
    SIZE size{};
    GetTextExtentPoint32W(measuring, shown.c_str(), static_cast<int>(shown.size()), &size);
    place.left = std::min(place.left, place.right - size.cx - 2 * kPaddingPx);
    return place;
}

// Fills every row of a surface with its shade.
void ShadeSurface(forms::PictureSurface& surface, uint32_t (*shade)(int y, int height)) {
    GdiFlush();
    const int height = surface.Height();
    for (int y = 0; y < height; ++y) {
        const uint32_t colour = shade(y, height);  // 0x00BBGGRR
        uint8_t* row = surface.Rows() + static_cast<size_t>(height - 1 - y) * surface.Stride();
        for (int x = 0; x < surface.Width(); ++x) {
            row[x * 3] = static_cast<uint8_t>(colour >> 16);
            row[x * 3 + 1] = static_cast<uint8_t>(colour >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(colour);
        }
    }
    surface.Refresh();
}

void PlaceButton(controls::PushButton& button, HWND parent, const RECT& place,
                 const std::wstring& caption, const controls::ButtonFaces& faces, HFONT font) {
    button.Create(parent, place.left, place.top, place.right - place.left, place.bottom - place.top,
                  faces, font);
    button.SetCaption(caption);
}

std::wstring ShortPathOf(const std::wstring& path) {
    const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (length == 0)
        return std::wstring();
    std::vector<wchar_t> buffer(length);
    if (GetShortPathNameW(path.c_str(), buffer.data(), length) == 0)
        return std::wstring();
    const std::wstring shortPath(buffer.data());
    return shortPath == path ? std::wstring() : shortPath;
}

// Draws the window's caption moving between the whole window and a point on the screen.
void Zoom(HWND window, POINT point, bool opening) {
    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    const RECT pointRect{point.x, point.y, point.x, point.y};
    // Only an animation: the window is right whether or not it was drawn.
    DrawAnimatedRects(window, kIdaniCaption, opening ? &pointRect : &windowRect,
                      opening ? &windowRect : &pointRect);
}

void PlaceHeading(HeadedPanel& panel, const std::wstring& text, HFONT font,
                  const LayoutScale& scale) {
    panel.headingFrame.rect = PixelRect(kHeadingFrame, scale);
    panel.heading.rect = PixelRect(kHeading, scale);
    panel.heading.text = text;
    panel.heading.centred = true;
    panel.heading.font = font;
    panel.AddGraphic(panel.headingFrame);
    panel.AddGraphic(panel.heading);
}

}  // namespace

forms::AccessibleFacts HeadedPanel::Facts() const {
    forms::AccessibleFacts facts;
    facts.role = ROLE_SYSTEM_GROUPING;
    facts.name = heading.text;
    return facts;
}

SettingsWindow::SettingsWindow(const Settings& settings, const SettingsFiles& files)
    : settings_(settings), files_(files), language_(forms::UserUiLanguage()) {}

bool SettingsWindow::Build() {
    scale_ = LayoutScale{forms::ScreenDpiX(), forms::ScreenDpiY()};
    faces_ = controls::ButtonFaces::Load();
    if (!faces_)
        return false;
    font_.reset(MakeFont(language_, false));
    linkFont_.reset(MakeFont(language_, true));
    hand_ = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kCursorHand));
    markOff_.reset(forms::LoadPicture(kPictureMarkOff));
    markOn_.reset(forms::LoadPicture(kPictureMarkOn));
    if (!CreateWindowAndPanel())
        return false;
    // Created in reading order, which is also the focus order.
    PlaceMusicChoices();
    PlaceDisplayOptions();
    PlaceButtons();
    PlaceLink();
    return true;
}

bool SettingsWindow::CreateWindowAndPanel() {
    const int clientWidth = scale_.X(kClientWidthPx), clientHeight = scale_.Y(kClientHeightPx);
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0);
    forms::FormStyle style;
    style.caption = language_ == forms::UiLanguage::kJapanese ? kSettingsWindowCaption
                                                              : kSettingsWindowCaptionEnglish;
    style.style = kWindowStyle;
    style.width = outer.right - outer.left;
    style.height = outer.bottom - outer.top;
    style.backColour = kWindowBack;
    style.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconProgram));
    if (!Create(style))
        return false;

    // The pictures hold controls: Tab and the dialog keys must reach into them.
    backdrop_.Create(Hwnd(), 0, 0, clientWidth, clientHeight);
    SetWindowLongPtrW(backdrop_.Hwnd(), GWL_EXSTYLE, WS_EX_CONTROLPARENT);
    const RECT panel = PixelRect(kPanel, scale_);
    panel_.Create(backdrop_.Hwnd(), panel.left, panel.top, panel.right - panel.left,
                  panel.bottom - panel.top);
    SetWindowLongPtrW(panel_.Hwnd(), GWL_EXSTYLE, WS_EX_CONTROLPARENT);
    const RECT display = PixelRect(kDisplayPanel, scale_);
    displayPanel_.Create(backdrop_.Hwnd(), display.left, display.top, display.right - display.left,
                         display.bottom - display.top);
    SetWindowLongPtrW(displayPanel_.Hwnd(), GWL_EXSTYLE, WS_EX_CONTROLPARENT);
    return true;
}

void SettingsWindow::PlaceMusicChoices() {
    PlaceHeading(panel_, Text(IDS_MUSIC_HEADING), font_.get(), scale_);
    const controls::MarkPictures marks{markOff_.get(), markOn_.get()};
    for (int kind : kChoicesDown) {
        controls::MarkOption& choice = panel_.choices[kind];
        choice.Create(panel_.Hwnd(), controls::MarkKind::kChoice, PixelRect(kMarks[kind], scale_),
                      PixelPoint(kChoiceCaptions[kind], scale_), Text(kChoiceTexts[kind]),
                      font_.get(), marks);
        choice.Activate = [this, kind] { Choose(kind); };
        choice.Arrow = [this, kind](int step) { StepChoice(kind, step); };
        mnemonics_.emplace_back(forms::MnemonicOf(choice.Caption()), choice.Activate);
    }

    // The repeat box stands right of the CD choice's caption, however long that is.
    RECT cdChoice{};
    GetWindowRect(panel_.choices[kChoiceCd].Hwnd(), &cdChoice);
    MapWindowPoints(nullptr, panel_.Hwnd(), reinterpret_cast<POINT*>(&cdChoice), 2);
    RECT repeat = PixelRect(kRepeatBox, scale_);
    const int shift = std::max(0L, cdChoice.right + scale_.X(kRepeatBoxGap) - repeat.left);
    OffsetRect(&repeat, shift, 0);
    panel_.repeatBox.Create(panel_.Hwnd(), repeat.left, repeat.top, repeat.right - repeat.left,
                            repeat.bottom - repeat.top, font_.get());
    const forms::WindowDC measuring(panel_.Hwnd());
    panel_.repeatLabel.rect = PixelRect(kRepeatLabel, scale_);
    OffsetRect(&panel_.repeatLabel.rect, shift, 0);
    panel_.repeatLabel.text = Text(IDS_REPEAT_LABEL);
    panel_.repeatLabel.font = font_.get();
    panel_.repeatLabel.mnemonic = true;
    panel_.repeatLabel.AutoSize(measuring.Get());
    panel_.AddGraphic(panel_.repeatLabel);
    panel_.repeatBox.SetAccessibleLabel(panel_.repeatLabel.text);
    mnemonics_.emplace_back(forms::MnemonicOf(panel_.repeatLabel.text), [this] {
        if (IsWindowEnabled(panel_.repeatBox.Hwnd()))
            SetFocus(panel_.repeatBox.FieldHwnd());
    });

    PlaceButton(panel_.fileButton, panel_.Hwnd(), PixelRect(kFileButton, scale_), L"...", *faces_,
                font_.get());
    panel_.fileButton.Click = [this] { PickFile(); };
    panel_.fileFrame.rect = PixelRect(kFileLabel, scale_);
    panel_.fileName.rect = panel_.fileFrame.rect;
    InflateRect(&panel_.fileName.rect, -2, -2);
    panel_.fileName.font = font_.get();
    panel_.fileName.wrap = true;
    panel_.AddGraphic(panel_.fileFrame);
    panel_.AddGraphic(panel_.fileName);
}

void SettingsWindow::PlaceDisplayOptions() {
    PlaceHeading(displayPanel_, Text(IDS_DISPLAY_HEADING), font_.get(), scale_);
    const controls::MarkPictures marks{markOff_.get(), markOn_.get()};
    for (int i = 0; i < 3; ++i) {
        controls::MarkOption& option = displayPanel_.options[i];
        option.Create(displayPanel_.Hwnd(), controls::MarkKind::kOnOff,
                      PixelRect(kOptionMarks[i], scale_), PixelPoint(kOptionCaptions[i], scale_),
                      Text(kOptionTexts[i]), font_.get(), marks);
        option.Activate = [this, i] { Toggle(i); };
        // The arrow keys move the focus between the options without changing them.
        option.Arrow = [this, i](int step) {
            SetFocus(displayPanel_.options[(i + step + 3) % 3].Hwnd());
        };
        mnemonics_.emplace_back(forms::MnemonicOf(option.Caption()), [this, i] {
            SetFocus(displayPanel_.options[i].Hwnd());
            Toggle(i);
        });
    }
}

void SettingsWindow::PlaceButtons() {
    const forms::WindowDC measuring(backdrop_.Hwnd());
    const std::wstring save = Text(IDS_SAVE), cancel = Text(IDS_CANCEL);
    // The two buttons stand side by side at the right; a longer caption widens its button
    // to the left, and the save button moves left by as much as the cancel button grew.
    const RECT cancelPlace =
        FitCaption(PixelRect(kCancelButton, scale_), cancel, font_.get(), measuring.Get());
    RECT savePlace = PixelRect(kSetButton, scale_);
    OffsetRect(&savePlace, cancelPlace.left - scale_.X(kCancelButton.left), 0);
    savePlace = FitCaption(savePlace, save, font_.get(), measuring.Get());
    PlaceButton(saveButton_, backdrop_.Hwnd(), savePlace, save, *faces_, font_.get());
    saveButton_.Click = [this] { Save(); };
    PlaceButton(cancelButton_, backdrop_.Hwnd(), cancelPlace, cancel, *faces_, font_.get());
    cancelButton_.Click = [this] { Unload(); };
    for (controls::PushButton* button : {&saveButton_, &cancelButton_})
        mnemonics_.emplace_back(forms::MnemonicOf(button->Caption()), [button] { button->Press(); });
}

void SettingsWindow::PlaceLink() {
    const RECT place = PixelRect(kLink, scale_);
    const std::wstring target =
        kHomeLink[0] != L'\0' ? kHomeLink : forms::ProgramFolder() + L"\\" + kGuideFile;
    guideLink_.Create(backdrop_.Hwnd(), POINT{place.left, place.top}, Text(IDS_GUIDE_LINK), target,
                      linkFont_.get(), kLinkColour, hand_);
    guideLink_.Open = [this] { OpenLink(); };
    mnemonics_.emplace_back(forms::MnemonicOf(guideLink_.Caption()), [this] {
        SetFocus(guideLink_.Hwnd());
        OpenLink();
    });
}

void SettingsWindow::Load() {
    RECT outer{};
    GetWindowRect(Hwnd(), &outer);
    const Position at = DialogPosition(forms::ScreenWidthPixels(), forms::ScreenHeightPixels(),
                                       outer.right - outer.left, outer.bottom - outer.top);
    SetWindowPos(Hwnd(), nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // The buttons start watching the pointer in the window's control order.
    cancelButton_.StartTracking();
    saveButton_.StartTracking();
    panel_.fileButton.StartTracking();
    ShowChoice();
    ShowDisplayOptions();
    // The box's text before its list, so that the list does not pick the text.
    panel_.repeatBox.TakeDigitsOnly(kTrackDigits);
    panel_.repeatBox.SetText(RepeatText(settings_.repeatTrack));
    for (const std::wstring& item : RepeatList())
        panel_.repeatBox.AddItem(item);
    panel_.fileName.text = settings_.musicFile;
    // The focus starts on the first control: the music choice that is taken.
    lastFocus_ = panel_.choices[std::max(LookOfChoice(settings_.musicKind).selectedMark, 0)].Hwnd();
    // The window zooms open from the pointer, or from the corner when it is unknown.
    if (!GetCursorPos(&zoomOrigin_))
        zoomOrigin_ = POINT{0, 0};
    Shade();
    Zoom(Hwnd(), zoomOrigin_, true);
    SetBusyPointer(nullptr);
}

void SettingsWindow::Shade() {
    // Drawn into the persistent pictures, so the shading stays through every repaint.
    ShadeSurface(backdrop_, WindowShade);
    ShadeSurface(panel_, PanelShade);
    ShadeSurface(displayPanel_, PanelShade);
}

void SettingsWindow::ShowChoice() {
    const ChoiceLook look = LookOfChoice(settings_.musicKind);
    panel_.fileButton.SetEnabled(look.fileButtonEnabled);
    panel_.repeatBox.SetEnabled(look.repeatEnabled);
    // Tab reaches the group at its taken choice, or at its first when none is taken.
    for (int kind = 0; kind < 3; ++kind) {
        panel_.choices[kind].SetOn(kind == look.selectedMark);
        panel_.choices[kind].SetTabStop(kind == look.selectedMark ||
                                        (look.selectedMark < 0 && kind == kChoicesDown[0]));
    }
}

void SettingsWindow::Choose(int kind) {
    settings_.musicKind = static_cast<int16_t>(kind);
    ShowChoice();
}

void SettingsWindow::StepChoice(int kind, int step) {
    int at = 0;
    while (kChoicesDown[at] != kind)
        ++at;
    const int next = kChoicesDown[(at + step + 3) % 3];
    SetFocus(panel_.choices[next].Hwnd());
    Choose(next);
}

void SettingsWindow::Toggle(int option) {
    bool& on = settings_.display.*kOptionFields[option];
    on = !on;
    ShowDisplayOptions();
}

void SettingsWindow::ShowDisplayOptions() {
    for (int i = 0; i < 3; ++i)
        displayPanel_.options[i].SetOn(settings_.display.*kOptionFields[i]);
}

bool SettingsWindow::PressMnemonic(wchar_t key) {
    const wchar_t letter = forms::MnemonicOf(std::wstring{L'&', key});
    for (const auto& [mnemonic, press] : mnemonics_) {
        if (mnemonic != 0 && mnemonic == letter) {
            press();
            return true;
        }
    }
    return false;
}

void SettingsWindow::Warn(const std::wstring& message) const {
    MessageBoxW(Hwnd(), message.c_str(), Text(IDS_PROGRAM_NAME).c_str(), MB_OK | MB_ICONWARNING);
}

void SettingsWindow::PickFile() {
    std::vector<wchar_t> file(kFileNameChars, L'\0');
    std::vector<wchar_t> title(kFileNameChars, L'\0');
    // The filter's parts are kept apart by '|' in the string table.
    std::wstring filter = Text(IDS_FILE_FILTER);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    const std::wstring dialogTitle = Text(IDS_FILE_DIALOG_TITLE);
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = Hwnd();
    request.hInstance = GetModuleHandleW(nullptr);
    request.lpstrFilter = filter.c_str();
    request.lpstrFile = file.data();
    request.nMaxFile = kFileNameChars;
    request.lpstrFileTitle = title.data();
    request.nMaxFileTitle = kFileNameChars;
    request.lpstrInitialDir = settings_.pickerFolder.c_str();
    request.lpstrTitle = dialogTitle.c_str();
    if (!GetOpenFileNameW(&request))
        return;

    const std::optional<std::wstring> stored =
        PathToStore(file.data(), settings_.fileEncoding, ShortPathOf);
    if (!stored) {
        Warn(Text(IDS_CANNOT_USE_FILE));
        return;
    }
    settings_.musicFile = *stored;
    panel_.fileName.text = settings_.musicFile;
    settings_.pickerFolder = FolderOf(settings_.musicFile);
    panel_.Refresh();
}

void SettingsWindow::OpenLink() {
    SetBusyPointer(LoadCursorW(nullptr, IDC_WAIT));
    ShellExecuteW(Hwnd(), L"open", guideLink_.Target().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    SetBusyPointer(nullptr);
}

void SettingsWindow::Save() {
    // Typing and pasting take digits only; whatever reached the box otherwise is refused.
    const std::optional<int16_t> track = TrackFromText(panel_.repeatBox.Text());
    if (!track) {
        Warn(Text(IDS_TRACK_NOT_NUMBER));
        SetFocus(panel_.repeatBox.FieldHwnd());
        return;
    }
    settings_.repeatTrack = *track;
    if (const std::optional<SaveFailure> failure = SaveSettings(settings_, files_)) {
        // The window stays open; nothing was written, and the file keeps what it held.
        const std::wstring why = WithValue(Text(WhyNotSaved(failure->problem)),
                                           std::to_wstring(kLargestSettingsFileBytes >> 20));
        Warn(Text(IDS_CANNOT_SAVE) + L"\r\n" + why + L"\r\n\r\n" + failure->path);
        return;
    }
    Unload();
}

void SettingsWindow::Unload() {
    if (done_)
        return;
    Zoom(Hwnd(), zoomOrigin_, false);
    done_ = true;
    DestroyWindow(Hwnd());
}

forms::AccessibleFacts SettingsWindow::Facts() const {
    forms::AccessibleFacts facts;
    facts.role = ROLE_SYSTEM_DIALOG;
    std::vector<wchar_t> caption(static_cast<size_t>(GetWindowTextLengthW(Hwnd())) + 1);
    GetWindowTextW(Hwnd(), caption.data(), static_cast<int>(caption.size()));
    facts.name = caption.data();
    return facts;
}

std::vector<HWND> SettingsWindow::AccessibleChildren() const {
    std::vector<HWND> children{panel_.Hwnd()};
    for (int kind : kChoicesDown)
        children.push_back(panel_.choices[kind].Hwnd());
    children.push_back(panel_.repeatBox.FieldHwnd());
    children.push_back(panel_.fileButton.Hwnd());
    children.push_back(displayPanel_.Hwnd());
    for (const controls::MarkOption& option : displayPanel_.options)
        children.push_back(option.Hwnd());
    children.insert(children.end(), {saveButton_.Hwnd(), cancelButton_.Hwnd(), guideLink_.Hwnd()});
    return children;
}

void SettingsWindow::ShowModal() {
    if (!Build())
        return;
    Load();
    Show(SW_SHOW);
    SetFocus(lastFocus_);
    UpdateWindow(Hwnd());
    MSG message;
    while (!done_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        const bool ours = message.hwnd == Hwnd() || IsChild(Hwnd(), message.hwnd);
        if (ours && message.message == WM_SYSCHAR &&
            PressMnemonic(static_cast<wchar_t>(message.wParam))) {
            continue;
        }
        if (IsDialogMessageW(Hwnd(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT SettingsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:  // the close box cancels
            Unload();
            return 0;
        case WM_COMMAND:
            // Enter saves and Escape cancels; a focused button or link takes Enter itself.
            if (LOWORD(wParam) == IDOK) {
                Save();
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                Unload();
                return 0;
            }
            return DefaultHandling(message, wParam, lParam);
        case WM_ACTIVATE:
            // The focus leaves with the window and comes back to the control that had it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(Hwnd(), focus))
                    lastFocus_ = focus;
            } else if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
                SetFocus(lastFocus_);
                return 0;
            }
            return DefaultHandling(message, wParam, lParam);
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

void ShowSettingsWindow(const Settings& settings, const SettingsFiles& files) {
    const forms::ComScope com;  // screen readers reach the window's objects through COM
    SettingsWindow window(settings, files);
    window.ShowModal();
}

}  // namespace merovan
