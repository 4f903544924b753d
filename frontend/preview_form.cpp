#include "frontend/preview_form.h"

#include <iterator>
#include <string>

#include "common/program_names.h"
#include "forms/graphics.h"
#include "frontend/picture_fit.h"
#include "frontend/resources.h"

namespace merovan {
namespace {

constexpr wchar_t kPreviewCaption[] = L"Preview Window";
// The display settings destroy the parent, and with it this form; this check is the second
// guard that the process does not outlive it.
constexpr UINT_PTR kParentCheckTimer = 1;
constexpr UINT kParentCheckIntervalMs = 1000;

// A real window that the preview can live in. Put into the desktop window it would cover
// the screen for good, and put into the renderer's window it would keep that window from
// ever ending.
bool CanHoldPreview(HWND parent) {
    if (parent == nullptr || !IsWindow(parent) || parent == GetDesktopWindow())
        return false;
    wchar_t className[64] = {};
    GetClassNameW(parent, className, static_cast<int>(std::size(className)));
    return std::wstring(className) != kRendererWindowClass;
}

}  // namespace

PreviewForm::PreviewForm()
    : parentCheck_(*this, kParentCheckTimer, kParentCheckIntervalMs, [this] { CheckParent(); }) {}

bool PreviewForm::Start(HWND parent) {
    if (!CanHoldPreview(parent))
        return false;
    parent_ = parent;
    RECT area{};  // stays empty, and the form with it, should the parent go meanwhile
    GetClientRect(parent, &area);

    // Made a child of the given window from the start: a pop-up made a child afterwards
    // would be both.
    forms::FormStyle style = forms::ChildStyle(parent, 0, 0, area.right, area.bottom);
    style.caption = kPreviewCaption;
    style.style = WS_CHILD;  // shown once it holds its picture
    parentCheck_.SetEnabled(true);
    if (!Create(style))
        return false;
    picture_.reset(forms::LoadPicture(kPicturePreviewDesktop));
    Show(SW_SHOW);
    return true;
}

void PreviewForm::PaintContent(HDC dc) {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    BITMAP picture{};
    if (!picture_ || !GetObjectW(picture_.get(), sizeof picture, &picture))
        return;
    // The picture fills the window; where the window's shape differs, black bars remain.
    const PictureBox box =
        FitPicture(picture.bmWidth, picture.bmHeight, client.right, client.bottom);
    if (box.width == picture.bmWidth && box.height == picture.bmHeight) {
        forms::DrawPicture(dc, picture_.get(), box.x, box.y);  // its own size: pixel for pixel
        return;
    }
    const forms::MemoryDC source(dc);
    const forms::Selection selected(source.Get(), picture_.get());
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE wants the brush origin set after it
    StretchBlt(dc, box.x, box.y, box.width, box.height, source.Get(), 0, 0, picture.bmWidth,
               picture.bmHeight, SRCCOPY);
}

void PreviewForm::CheckParent() {
    if (!IsWindow(parent_))
        PostQuitMessage(0);
}

LRESULT PreviewForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            // The form is the preview's only window: the program ends with it.
            PostQuitMessage(0);
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

}  // namespace merovan
