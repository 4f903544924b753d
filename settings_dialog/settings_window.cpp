#include "settings_dialog/settings_window.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "common/program_names.h"
#include "forms/graphics.h"
#include "forms/program.h"
#include "settings_dialog/dialog_logic.h"
#include "settings_dialog/settings_resources.h"

namespace merovan {
namespace {

constexpr wchar_t kHomePage[] = L"https://merovan.example.jp/";
constexpr wchar_t kFileFilter[] = L"BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0";
constexpr wchar_t kFileDialogTitle[] = L"ﾌｧｲﾙを開く";
constexpr wchar_t kCannotSave[] = L"設定を保存できませんでした。";
constexpr wchar_t kTrackNotNumber[] = L"「曲目をﾘﾋﾟｰﾄ」には曲の番号を数字で入れてください。";
constexpr wchar_t kCannotUseFile[] =
    L"このファイルは使えません。\r\nファイル名をメロヴァン.iniに保存できません。";
constexpr DWORD kFileNameChars = 255;
// The zoom that draws a caption growing from or shrinking to a point.
constexpr UINT kIdaniCaption = 3;

// Why a save did not happen, as the user is told it.
std::wstring WhyNotSaved(FileProblem problem) {
    switch (problem) {
        case FileProblem::kTooLarge:
            return L"設定ファイルが大きすぎます（" +
                   std::to_wstring(kLargestSettingsFileBytes >> 20) + L" MB まで）。";
        case FileProblem::kInUse:
            return L"設定ファイルはほかのプログラムが使用中です。";
        case FileProblem::kUnwritable:
            return L"設定ファイルに書き込めません。";
        case FileProblem::kCannotHold:
            return L"選んだファイルの名前は、この設定ファイルの文字コードでは保存できません。";
        case FileProblem::kMissing:  // a missing file is made, so never reported
        case FileProblem::kUnreadable:
        default:
            return L"設定ファイルを読み込めません。";
    }
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
constexpr Box kChoiceLabels[3] = {{44, 76, 22, 13}, {44, 56, 43, 13}, {44, 96, 60, 13}};
constexpr const wchar_t* kChoiceTexts[3] = {L"なし", L"音楽CD", L"MP3、WAV"};
constexpr Box kRepeatBox{112, 52, 41, 20};
constexpr Box kRepeatLabel{156, 56, 66, 13};
constexpr Box kFileButton{28, 116, 41, 21};
constexpr Box kFileLabel{72, 116, 373, 33};
// In the display panel: the heading as in the music panel, then one row an option.
constexpr Box kOptionMarks[3] = {{28, 56, 13, 13}, {28, 76, 13, 13}, {28, 96, 13, 13}};
constexpr Box kOptionCaptions[3] = {{44, 56, 105, 13}, {44, 76, 180, 13}, {44, 96, 150, 13}};
constexpr const wchar_t* kOptionTexts[3] = {L"画面全体に表示", L"画面の更新に合わせて描画",
                                            L"マウスやキーでも終了"};
bool DisplayOptions::*const kOptionFields[3] = {
    &DisplayOptions::everyMonitor, &DisplayOptions::pacedFrames, &DisplayOptions::anyInputEnds};

RECT PixelRect(const Box& box, const LayoutScale& scale) {
    return RECT{scale.X(box.left), scale.Y(box.top), scale.X(box.left) + scale.X(box.width),
                scale.Y(box.top) + scale.Y(box.height)};
}

// The window's labels use the buttons' font; the link's is underlined.
HFONT MakeFont(bool underline) {
    forms::FontSpec spec = controls::DefaultButtonFont();
    spec.underline = underline;
    return forms::CreateFontFor(spec);
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
                 const wchar_t* caption, const controls::ButtonFaces& faces) {
    button.Create(parent, place.left, place.top, place.right - place.left, place.bottom - place.top,
                  faces);
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

void PlaceHeading(HeadedPanel& panel, const wchar_t* text, HFONT font, const LayoutScale& scale) {
    panel.headingFrame.rect = PixelRect(kHeadingFrame, scale);
    panel.heading.rect = PixelRect(kHeading, scale);
    panel.heading.text = text;
    panel.heading.centred = true;
    panel.heading.font = font;
    panel.AddGraphic(panel.headingFrame);
    panel.AddGraphic(panel.heading);
}

// A mark with its caption beside it: a music choice or a display option.
struct MarkRow {
    forms::Image& mark;
    forms::Label& caption;
};

void PlaceMarkRow(forms::PictureSurface& panel, const MarkRow& row, const RECT& mark,
                  const RECT& caption, const wchar_t* text, HFONT font, HDC measuring) {
    row.mark.rect = mark;
    row.caption.rect = caption;
    row.caption.text = text;
    row.caption.font = font;
    row.caption.AutoSize(measuring);
    panel.AddGraphic(row.mark);
    panel.AddGraphic(row.caption);
}

}  // namespace

SettingsWindow::SettingsWindow(const Settings& settings, const SettingsFiles& files)
    : settings_(settings), files_(files) {}

bool SettingsWindow::Build() {
    scale_ = LayoutScale{forms::ScreenDpiX(), forms::ScreenDpiY()};
    faces_ = controls::ButtonFaces::Load();
    if (!faces_)
        return false;
    font_.reset(MakeFont(false));
    linkFont_.reset(MakeFont(true));
    hand_ = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kCursorHand));
    markOff_.reset(forms::LoadPicture(kPictureMarkOff));
    markOn_.reset(forms::LoadPicture(kPictureMarkOn));
    if (!CreateWindowAndPanel())
        return false;
    PlaceButtons();
    PlaceMusicChoices();
    PlaceDisplayOptions();
    PlaceLink();
    return true;
}

bool SettingsWindow::CreateWindowAndPanel() {
    const int clientWidth = scale_.X(kClientWidthPx), clientHeight = scale_.Y(kClientHeightPx);
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0);
    forms::FormStyle style;
    style.caption = kSettingsWindowCaption;
    style.style = kWindowStyle;
    style.width = outer.right - outer.left;
    style.height = outer.bottom - outer.top;
    style.backColour = kWindowBack;
    style.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconProgram));
    if (!Create(style))
        return false;

    // Both pictures hold controls: Tab and the dialog keys must reach into them.
    backdrop_.Create(Hwnd(), 0, 0, clientWidth, clientHeight);
    SetWindowLongPtrW(backdrop_.Hwnd(), GWL_EXSTYLE, WS_EX_CONTROLPARENT);
    const RECT panel = PixelRect(kPanel, scale_);
    panel_.Create(backdrop_.Hwnd(), panel.left, panel.top, panel.right - panel.left,
                  panel.bottom - panel.top);
    SetWindowLongPtrW(panel_.Hwnd(), GWL_EXSTYLE, WS_EX_CONTROLPARENT);
    const RECT display = PixelRect(kDisplayPanel, scale_);
    displayPanel_.Create(backdrop_.Hwnd(), display.left, display.top, display.right - display.left,
                         display.bottom - display.top);
    return true;
}

void SettingsWindow::PlaceButtons() {
    // Created in the focus order: the repeat box, "...", then the window's two buttons.
    const RECT repeat = PixelRect(kRepeatBox, scale_);
    panel_.repeatBox.Create(panel_.Hwnd(), repeat.left, repeat.top, repeat.right - repeat.left,
                            repeat.bottom - repeat.top, font_.get());
    PlaceButton(panel_.fileButton, panel_.Hwnd(), PixelRect(kFileButton, scale_), L"...", *faces_);
    panel_.fileButton.Click = [this] { PickFile(); };
    PlaceButton(saveButton_, backdrop_.Hwnd(), PixelRect(kSetButton, scale_), L"設定", *faces_);
    saveButton_.Click = [this] { Save(); };
    PlaceButton(cancelButton_, backdrop_.Hwnd(), PixelRect(kCancelButton, scale_), L"ｷｬﾝｾﾙ",
                *faces_);
    cancelButton_.Click = [this] { Unload(); };
}

void SettingsWindow::PlaceMusicChoices() {
    PlaceHeading(panel_, L"BGM", font_.get(), scale_);
    const forms::WindowDC measuring(panel_.Hwnd());
    for (int i = 0; i < 3; ++i) {
        MarkRow row{panel_.marks[i], panel_.choiceLabels[i]};
        PlaceMarkRow(panel_, row, PixelRect(kMarks[i], scale_), PixelRect(kChoiceLabels[i], scale_),
                     kChoiceTexts[i], font_.get(), measuring.Get());
        // A press of any mouse button on a mark or its label chooses.
        row.mark.Press = [this, i] { Choose(i); };
        row.caption.Press = [this, i] { Choose(i); };
    }
    panel_.repeatLabel.rect = PixelRect(kRepeatLabel, scale_);
    panel_.repeatLabel.text = L"曲目をﾘﾋﾟｰﾄ";
    panel_.repeatLabel.font = font_.get();
    panel_.repeatLabel.AutoSize(measuring.Get());
    panel_.AddGraphic(panel_.repeatLabel);
    panel_.fileFrame.rect = PixelRect(kFileLabel, scale_);
    panel_.fileName.rect = panel_.fileFrame.rect;
    InflateRect(&panel_.fileName.rect, -2, -2);
    panel_.fileName.font = font_.get();
    panel_.fileName.wrap = true;
    panel_.AddGraphic(panel_.fileFrame);
    panel_.AddGraphic(panel_.fileName);
}

void SettingsWindow::PlaceDisplayOptions() {
    PlaceHeading(displayPanel_, L"表示", font_.get(), scale_);
    const forms::WindowDC measuring(displayPanel_.Hwnd());
    for (int i = 0; i < 3; ++i) {
        MarkRow row{displayPanel_.marks[i], displayPanel_.captions[i]};
        PlaceMarkRow(displayPanel_, row, PixelRect(kOptionMarks[i], scale_),
                     PixelRect(kOptionCaptions[i], scale_), kOptionTexts[i], font_.get(),
                     measuring.Get());
        row.mark.Click = [this, i] { Toggle(i); };
        row.caption.Click = [this, i] { Toggle(i); };
    }
}

void SettingsWindow::PlaceLink() {
    homePageLink_.rect = PixelRect(kLink, scale_);
    homePageLink_.text = kHomePage;
    homePageLink_.font = linkFont_.get();
    homePageLink_.colour = kLinkColour;
    homePageLink_.cursor = hand_;
    const forms::WindowDC measuring(backdrop_.Hwnd());
    homePageLink_.AutoSize(measuring.Get());
    homePageLink_.Click = [this] { OpenLink(); };
    backdrop_.AddGraphic(homePageLink_);
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
    panel_.fileButton.SetEnabled(false);
    panel_.repeatBox.SetEnabled(false);
    for (forms::Image& mark : panel_.marks)
        mark.SetPicture(markOff_.get());
    if (look.selectedMark >= 0)
        panel_.marks[look.selectedMark].SetPicture(markOn_.get());
    if (look.repeatEnabled)
        panel_.repeatBox.SetEnabled(true);
    if (look.fileButtonEnabled)
        panel_.fileButton.SetEnabled(true);
    panel_.Refresh();
}

void SettingsWindow::Choose(int kind) {
    settings_.musicKind = static_cast<int16_t>(kind);
    ShowChoice();
}

void SettingsWindow::Toggle(int option) {
    bool& on = settings_.display.*kOptionFields[option];
    on = !on;
    ShowDisplayOptions();
}

void SettingsWindow::ShowDisplayOptions() {
    for (int i = 0; i < 3; ++i) {
        const bool on = settings_.display.*kOptionFields[i];
        displayPanel_.marks[i].SetPicture(on ? markOn_.get() : markOff_.get());
    }
    displayPanel_.Refresh();
}

void SettingsWindow::PickFile() {
    std::vector<wchar_t> file(kFileNameChars, L'\0');
    std::vector<wchar_t> title(kFileNameChars, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = Hwnd();
    request.hInstance = GetModuleHandleW(nullptr);
    request.lpstrFilter = kFileFilter;
    request.lpstrFile = file.data();
    request.nMaxFile = kFileNameChars;
    request.lpstrFileTitle = title.data();
    request.nMaxFileTitle = kFileNameChars;
    request.lpstrInitialDir = settings_.pickerFolder.c_str();
    request.lpstrTitle = kFileDialogTitle;
    if (!GetOpenFileNameW(&request))
        return;

    const std::optional<std::wstring> stored =
        PathToStore(file.data(), settings_.fileEncoding, ShortPathOf);
    if (!stored) {
        MessageBoxW(Hwnd(), kCannotUseFile, kProgramTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    settings_.musicFile = *stored;
    panel_.fileName.text = settings_.musicFile;
    settings_.pickerFolder = FolderOf(settings_.musicFile);
    panel_.Refresh();
}

void SettingsWindow::OpenLink() {
    SetBusyPointer(LoadCursorW(nullptr, IDC_WAIT));
    ShellExecuteW(Hwnd(), L"open", homePageLink_.text.c_str(), L"", L"", SW_SHOWNORMAL);
    SetBusyPointer(nullptr);
}

void SettingsWindow::Save() {
    // Typing and pasting take digits only; whatever reached the box otherwise is refused.
    const std::optional<int16_t> track = TrackFromText(panel_.repeatBox.Text());
    if (!track) {
        MessageBoxW(Hwnd(), kTrackNotNumber, kProgramTitle, MB_OK | MB_ICONWARNING);
        SetFocus(panel_.repeatBox.Hwnd());
        return;
    }
    settings_.repeatTrack = *track;
    if (const std::optional<SaveFailure> failure = SaveSettings(settings_, files_)) {
        // The window stays open; nothing was written, and the file keeps what it held.
        const std::wstring message = std::wstring(kCannotSave) + L"\r\n" +
                                     WhyNotSaved(failure->problem) + L"\r\n\r\n" + failure->path;
        MessageBoxW(Hwnd(), message.c_str(), kProgramTitle, MB_OK | MB_ICONWARNING);
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

void SettingsWindow::ShowModal() {
    if (!Build())
        return;
    Load();
    Show(SW_SHOW);
    UpdateWindow(Hwnd());
    MSG message;
    while (!done_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
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
            // Enter and Esc press no button: the window has no default or cancel button.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
                return 0;
            return DefaultHandling(message, wParam, lParam);
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

void ShowSettingsWindow(const Settings& settings, const SettingsFiles& files) {
    SettingsWindow window(settings, files);
    window.ShowModal();
}

}  // namespace merovan
