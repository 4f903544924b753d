// What a screen reader learns about our windows: each control answers WM_GETOBJECT with an
// accessible object (MSAA IAccessible) that says its role, name, state and value, and a
// window may list other windows as its children in reading order.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

namespace forms {

struct AccessibleFacts {
    long role = ROLE_SYSTEM_CLIENT;
    std::wstring name;
    std::wstring value;
    std::wstring shortcut;       // "Alt+S"; empty for none
    std::wstring defaultAction;  // "Press", "Check"…; empty for none
    // Beyond what the window itself shows: checked, say. Focused, unavailable, invisible and
    // focusable follow the window.
    long state = 0;
    bool focusable = false;
};

class AccessibleSource {
  public:
    virtual ~AccessibleSource() = default;
    virtual AccessibleFacts Facts() const = 0;
    // The windows whose objects are this one's children, in reading order.
    virtual std::vector<HWND> AccessibleChildren() const { return {}; }
    virtual void DoDefaultAction() {}
};

// Finds the source that describes a window; null once the window or its source is gone.
using SourceOf = AccessibleSource* (*)(HWND);

// The answer to WM_GETOBJECT for OBJID_CLIENT: an object that asks `find` about `window`
// each time it is asked, so that it never outlives what it describes.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, SourceOf find);

// Tells screen readers that a window's state (checked, unavailable) has changed.
void AnnounceStateChange(HWND window);

// COM on this thread for as long as it lives: a window that answers WM_GETOBJECT needs it.
class ComScope {
  public:
    ComScope() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (started_)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool started_;
};

}  // namespace forms
