#include "settings_dialog/merovan_p.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cmath>
#include <vector>

#include "forms/graphics.h"
#include "forms/program.h"
#include "frontend/merovan_b.h"
#include "frontend/resources.h"
#include "settings_dialog/dialog_logic.h"

namespace merovan {
namespace {

constexpr wchar_t kCaption[] = L"<メロヴァン>";
constexpr wchar_t kHomePage[] = L"https://merovan.example.jp/";
constexpr wchar_t kFileFilter[] = L"BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0";
constexpr wchar_t kFileDialogTitle[] = L"ﾌｧｲﾙを開く";
constexpr wchar_t kCannotSave[] = L"設定を保存できませんでした。";
constexpr wchar_t kCannotUseFile[] =
    L"このファイルは使えません。\r\nファイル名をメロヴァン.iniに保存できません。";
constexpr DWORD kFileNameChars = 255;

// Layout in twips, as designed.
constexpr int kClientWidthTwips = 7440;
constexpr int kClientHeightTwips = 3645;
constexpr COLORREF kWindowBack = RGB(192, 192, 192);
constexpr COLORREF kLinkColour = RGB(255, 255, 255);
constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // no sizing, no min/max

struct Box {
    int left, top, width, height;  // twips
};
constexpr Box kPanel{180, 240, 7035, 2475};
constexpr Box kSetButton{4860, 3000, 1155, 375};
constexpr Box kCancelButton{6060, 3000, 1155, 375};
constexpr Box kLink{180, 3120, 3105, 195};
constexpr Box kHeadingFrame{300, 300, 1695, 315};
constexpr Box kHeading{300, 360, 1665, 195};
constexpr Box kMarks[3] = {{420, 1140, 195, 195}, {420, 840, 195, 195}, {420, 1440, 195, 195}};
constexpr Box kChoiceLabels[3] = {
    {660, 1140, 330, 195}, {660, 840, 645, 195}, {660, 1440, 900, 195}};
constexpr const wchar_t* kChoiceTexts[3] = {L"なし", L"音楽CD", L"MP3、WAV"};
constexpr Box kRepeatBox{1680, 780, 615, 300};
constexpr Box kRepeatLabel{2340, 840, 990, 195};
constexpr Box kFileButton{420, 1740, 615, 315};
constexpr Box kFileLabel{1080, 1740, 5595, 495};

int Px(int twips) {
    return twips / forms::TwipsPerPixelX();
}
int Py(int twips) {
    return twips / forms::TwipsPerPixelY();
}
RECT PixelRect(const Box& box) {
    return RECT{Px(box.left), Py(box.top), Px(box.left) + Px(box.width),
                Py(box.top) + Py(box.height)};
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

void PlaceButton(controls::Command& button, HWND parent, const Box& box, const wchar_t* caption) {
    button.Create(parent, Px(box.left), Py(box.top), Px(box.width), Py(box.height));
    // The stored layout holds a caption and a font for each button.
    const forms::FontSpec font = controls::DefaultButtonFont();
    forms::PropertyStore layout;
    layout.Write(L"caption", std::wstring(caption), std::wstring(L"Command"));
    layout.Write(L"font", font, forms::FontSpec{});
    button.Restore(layout, font);
}

// Writes the three keys to one settings file; true when every write succeeded.
bool WriteSettings(const std::wstring& file, int16_t repeat) {
    bool written = true;
    PutIni(kIniSection, kKeyBgmKind, IniNumberText(g_settings.BgmKind), file);
    written = written && LastApiResult != 0;
    PutIni(kIniSection, kKeyBgmRepeat, IniNumberText(repeat), file);
    written = written && LastApiResult != 0;
    PutIni(kIniSection, kKeyBgmFile, g_settings.BgmFile, file);
    return written && LastApiResult != 0;
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

}  // namespace

Merovan_P::Merovan_P() = default;

Merovan_P::~Merovan_P() = default;

bool Merovan_P::Build() {
    font_.reset(MakeFont(false));
    linkFont_.reset(MakeFont(true));
    hand_ = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kCursorHand));
    Img_Ra[0].reset(forms::LoadPicture(kPictureMarkOff));
    Img_Ra[1].reset(forms::LoadPicture(kPictureMarkOn));

    RECT outer{0, 0, Px(kClientWidthTwips), Py(kClientHeightTwips)};
    AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0);
    forms::FormStyle style;
    style.caption = kCaption;
    style.style = kWindowStyle;
    style.width = outer.right - outer.left;
    style.height = outer.bottom - outer.top;
    style.backColour = kWindowBack;
    style.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconProgram));
    if (!Create(style))
        return false;

    backdrop_.Create(Hwnd(), 0, 0, Px(kClientWidthTwips), Py(kClientHeightTwips));
    SetWindowLongPtrW(backdrop_.Hwnd(), GWL_EXSTYLE, WS_EX_CONTROLPARENT);
    const RECT panel = PixelRect(kPanel);
    Pic_C_0.Create(backdrop_.Hwnd(), panel.left, panel.top, panel.right - panel.left,
                   panel.bottom - panel.top);
    SetWindowLongPtrW(Pic_C_0.Hwnd(), GWL_EXSTYLE, WS_EX_CONTROLPARENT);

    // In the panel, in the focus order: the repeat box, then "...".
    const RECT repeat = PixelRect(kRepeatBox);
    Pic_C_0.BGM_Repeat.Create(Pic_C_0.Hwnd(), repeat.left, repeat.top, repeat.right - repeat.left,
                              repeat.bottom - repeat.top, font_.get());
    PlaceButton(Pic_C_0.Cmd_File_0, Pic_C_0.Hwnd(), kFileButton, L"...");
    Pic_C_0.Cmd_File_0.Click = [this] { PickFile(); };
    PlaceButton(Cmd_Set, backdrop_.Hwnd(), kSetButton, L"設定");
    Cmd_Set.Click = [this] { Save(); };
    PlaceButton(Cmd_Can, backdrop_.Hwnd(), kCancelButton, L"ｷｬﾝｾﾙ");
    Cmd_Can.Click = [this] { Unload(); };

    Pic_C_0.Shape3_3.rect = PixelRect(kHeadingFrame);
    Pic_C_0.lbl_15.rect = PixelRect(kHeading);
    Pic_C_0.lbl_15.text = L"BGM";
    Pic_C_0.lbl_15.centred = true;
    Pic_C_0.AddGraphic(Pic_C_0.Shape3_3);
    Pic_C_0.AddGraphic(Pic_C_0.lbl_15);
    const forms::WindowDC measuring(Pic_C_0.Hwnd());
    for (int i = 0; i < 3; ++i) {
        forms::Image& mark = Pic_C_0.Img_BGM[i];
        forms::Label& label = Pic_C_0.lbl_BGM[i];
        mark.rect = PixelRect(kMarks[i]);
        label.rect = PixelRect(kChoiceLabels[i]);
        label.text = kChoiceTexts[i];
        label.font = font_.get();
        label.AutoSize(measuring.Get());
        // A press of any mouse button on a mark or its label chooses.
        mark.MouseDown = [this, i](int) { Choose(i); };
        label.MouseDown = [this, i](int) { Choose(i); };
        Pic_C_0.AddGraphic(mark);
        Pic_C_0.AddGraphic(label);
    }
    Pic_C_0.lbl_15.font = font_.get();
    Pic_C_0.lbl_14.rect = PixelRect(kRepeatLabel);
    Pic_C_0.lbl_14.text = L"曲目をﾘﾋﾟｰﾄ";
    Pic_C_0.lbl_14.font = font_.get();
    Pic_C_0.lbl_14.AutoSize(measuring.Get());
    Pic_C_0.AddGraphic(Pic_C_0.lbl_14);
    Pic_C_0.fileFrame.rect = PixelRect(kFileLabel);
    Pic_C_0.lbl_Fname_0.rect = PixelRect(kFileLabel);
    InflateRect(&Pic_C_0.lbl_Fname_0.rect, -2, -2);
    Pic_C_0.lbl_Fname_0.font = font_.get();
    Pic_C_0.lbl_Fname_0.wrap = true;
    Pic_C_0.AddGraphic(Pic_C_0.fileFrame);
    Pic_C_0.AddGraphic(Pic_C_0.lbl_Fname_0);

    lbl_URL.rect = PixelRect(kLink);
    lbl_URL.text = kHomePage;
    lbl_URL.font = linkFont_.get();
    lbl_URL.colour = kLinkColour;
    lbl_URL.cursor = hand_;
    const forms::WindowDC linkMeasuring(backdrop_.Hwnd());
    lbl_URL.AutoSize(linkMeasuring.Get());
    lbl_URL.Click = [this] { OpenLink(); };
    backdrop_.AddGraphic(lbl_URL);
    return true;
}

void Merovan_P::Load() {
    // 1. Centred across, one third of the free height down.
    RECT outer{};
    GetWindowRect(Hwnd(), &outer);
    const int tppX = forms::TwipsPerPixelX(), tppY = forms::TwipsPerPixelY();
    const Position at =
        DialogPosition(forms::ScreenWidthPixels() * tppX, forms::ScreenHeightPixels() * tppY,
                       (outer.right - outer.left) * tppX, (outer.bottom - outer.top) * tppY);
    SetWindowPos(Hwnd(), nullptr, at.left / tppX, at.top / tppY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    // 2. Every push button starts its pointer tracking, in the window's control order.
    Cmd_Can.Initialize();
    Cmd_Set.Initialize();
    Pic_C_0.Cmd_File_0.Initialize();
    // 3.–6. The choice as loaded.
    ShowChoice();
    // 7.–8. The repeat box's text, then its list.
    Pic_C_0.BGM_Repeat.SetText(RepeatText(g_settings.BgmRepeat));
    for (const std::wstring& item : RepeatList())
        Pic_C_0.BGM_Repeat.AddItem(item);
    // 9. The file.
    Pic_C_0.lbl_Fname_0.text = g_settings.BgmFile;
    // 10.–11. Zoom open from the pointer.
    POINT pointer{};
    LastApiResult = GetCursorPos(&pointer);
    AnimOriginX = LastApiResult ? static_cast<int16_t>(pointer.x) : 0;
    AnimOriginY = LastApiResult ? static_cast<int16_t>(pointer.y) : 0;
    Shade();
    ZoomOpen(Hwnd());
    // 12.
    forms::SetProgramPointer(nullptr);
}

void Merovan_P::Shade() {
    // Drawn into the persistent pictures, so the shading stays through every repaint.
    ShadeSurface(backdrop_, WindowShade);
    ShadeSurface(Pic_C_0, PanelShade);
}

void Merovan_P::ShowChoice() {
    const ChoiceLook look = LookOfChoice(g_settings.BgmKind);
    Pic_C_0.Cmd_File_0.SetEnabled(controls::kFalse);
    Pic_C_0.BGM_Repeat.SetEnabled(false);
    for (forms::Image& mark : Pic_C_0.Img_BGM)
        mark.SetPicture(Img_Ra[0].get());
    if (look.selectedMark >= 0)
        Pic_C_0.Img_BGM[look.selectedMark].SetPicture(Img_Ra[1].get());
    if (look.repeatEnabled)
        Pic_C_0.BGM_Repeat.SetEnabled(true);
    if (look.fileButtonEnabled)
        Pic_C_0.Cmd_File_0.SetEnabled(controls::kTrue);
    Pic_C_0.Refresh();
}

void Merovan_P::Choose(int kind) {
    g_settings.BgmKind = static_cast<int16_t>(kind);
    ShowChoice();
}

void Merovan_P::PickFile() {
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
    request.lpstrInitialDir = g_settings.BgmFolder.c_str();
    request.lpstrTitle = kFileDialogTitle;
    LastApiResult = GetOpenFileNameW(&request);
    if (LastApiResult <= 0)
        return;

    const StoredPath stored = PathToStore(file.data(), ShortPathOf);
    if (!stored.usable) {
        MessageBoxW(Hwnd(), kCannotUseFile, kProgramTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    g_settings.BgmFile = stored.path;
    Pic_C_0.lbl_Fname_0.text = g_settings.BgmFile;
    g_settings.BgmFolder = FolderOf(g_settings.BgmFile);
    Pic_C_0.Refresh();
}

void Merovan_P::OpenLink() {
    forms::SetProgramPointer(LoadCursorW(nullptr, IDC_WAIT));
    ShellExecuteW(Hwnd(), L"open", lbl_URL.text.c_str(), L"", L"", SW_SHOWNORMAL);
    forms::SetProgramPointer(nullptr);
}

void Merovan_P::Save() {
    const int16_t repeat = RepeatFromText(Pic_C_0.BGM_Repeat.Text());
    g_settings.BgmRepeat = repeat;
    // Beside the program first; a screensaver in a protected folder writes its user's copy.
    bool saved = WriteSettings(IniPathBesideProgram(), repeat);
    if (!saved) {
        const std::wstring perUser = IniPathPerUser();
        if (!perUser.empty()) {
            CreateDirectoryW(FolderOf(perUser).c_str(), nullptr);
            saved = WriteSettings(perUser, repeat);
        }
    }
    if (!saved) {
        MessageBoxW(Hwnd(), kCannotSave, kProgramTitle, MB_OK | MB_ICONWARNING);
        return;  // the window stays open
    }
    Unload();
}

void Merovan_P::Unload() {
    if (done_)
        return;
    ZoomClose(Hwnd());
    done_ = true;
    DestroyWindow(Hwnd());
}

void Merovan_P::ShowModal() {
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

LRESULT Merovan_P::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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

void ShowSettingsDialog() {
    Merovan_P dialog;
    dialog.ShowModal();
}

}  // namespace merovan
