#include "forms/accessible.h"

#include <atomic>

namespace forms {
namespace {

// MinGW's import library gives IID_IAccessible as a jump thunk rather than the IID itself.
constexpr IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    if (out == nullptr)
        return E_INVALIDARG;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The client object of one of our windows. It holds only the window and asks its source
// afresh on every call.
class WindowObject final : public IAccessible {
  public:
    WindowObject(HWND window, SourceOf find) : window_(window), find_(find) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch: the object is used through its vtable only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        *parent = nullptr;
        return AccessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        AccessibleSource* source = Source();
        *count = source != nullptr ? static_cast<long>(source->AccessibleChildren().size()) : 0;
        return source != nullptr ? S_OK : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        *out = nullptr;
        AccessibleSource* source = Source();
        if (source == nullptr)
            return CO_E_OBJNOTCONNECTED;
        const std::vector<HWND> children = source->AccessibleChildren();
        if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > static_cast<long>(children.size()))
            return E_INVALIDARG;
        return AccessibleObjectFromWindow(children[child.lVal - 1], static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IDispatch, reinterpret_cast<void**>(out));
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, &AccessibleFacts::name, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, &AccessibleFacts::value, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override {
        return ReturnText(std::wstring(), text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        AccessibleSource* source = nullptr;
        if (const HRESULT asked = SourceFor(child, &source); FAILED(asked))
            return asked;
        role->vt = VT_I4;
        role->lVal = source->Facts().role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        AccessibleSource* source = nullptr;
        if (const HRESULT asked = SourceFor(child, &source); FAILED(asked))
            return asked;
        const AccessibleFacts facts = source->Facts();
        long bits = facts.state;
        if (!IsWindowVisible(window_))
            bits |= STATE_SYSTEM_INVISIBLE;
        if (!IsWindowEnabled(window_))
            bits |= STATE_SYSTEM_UNAVAILABLE;
        else if (facts.focusable)
            bits |= STATE_SYSTEM_FOCUSABLE;
        if (GetFocus() == window_)
            bits |= STATE_SYSTEM_FOCUSED;
        state->vt = VT_I4;
        state->lVal = bits;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override {
        return ReturnText(std::wstring(), text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        *file = nullptr;
        *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Text(child, &AccessibleFacts::shortcut, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        focus->vt = VT_EMPTY;
        const HWND focused = GetFocus();
        if (focused == window_) {
            focus->vt = VT_I4;
            focus->lVal = CHILDID_SELF;
        } else if (focused != nullptr && IsChild(window_, focused)) {
            IDispatch* object = nullptr;
            if (SUCCEEDED(AccessibleObjectFromWindow(focused, static_cast<DWORD>(OBJID_CLIENT),
                                                     IID_IDispatch,
                                                     reinterpret_cast<void**>(&object)))) {
                focus->vt = VT_DISPATCH;
                focus->pdispVal = object;
            }
        }
        return focus->vt == VT_EMPTY ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        selection->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, &AccessibleFacts::defaultAction, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        if (!IsSelf(child))
            return E_INVALIDARG;
        if ((flags & SELFLAG_TAKEFOCUS) == 0)
            return DISP_E_MEMBERNOTFOUND;
        SetFocus(window_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (!IsSelf(child))
            return E_INVALIDARG;
        RECT rect{};
        if (!GetWindowRect(window_, &rect))
            return CO_E_OBJNOTCONNECTED;
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override {
        end->vt = VT_EMPTY;
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        hit->vt = VT_EMPTY;
        RECT rect{};
        GetWindowRect(window_, &rect);
        if (!PtInRect(&rect, POINT{x, y}))
            return S_FALSE;
        hit->vt = VT_I4;
        hit->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        AccessibleSource* source = nullptr;
        if (const HRESULT asked = SourceFor(child, &source); FAILED(asked))
            return asked;
        if (source->Facts().defaultAction.empty() || !IsWindowEnabled(window_))
            return DISP_E_MEMBERNOTFOUND;
        source->DoDefaultAction();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    AccessibleSource* Source() const { return IsWindow(window_) ? find_(window_) : nullptr; }

    // The source, when it is still there and the question is about the object itself.
    HRESULT SourceFor(const VARIANT& child, AccessibleSource** source) const {
        *source = Source();
        if (*source == nullptr)
            return CO_E_OBJNOTCONNECTED;
        return IsSelf(child) ? S_OK : E_INVALIDARG;
    }

    HRESULT Text(const VARIANT& child, std::wstring AccessibleFacts::*field, BSTR* out) const {
        AccessibleSource* source = nullptr;
        if (const HRESULT asked = SourceFor(child, &source); FAILED(asked))
            return asked;
        return ReturnText(source->Facts().*field, out);
    }

    std::atomic<ULONG> references_{1};
    HWND window_;
    SourceOf find_;
};

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, SourceOf find) {
    auto* object = new WindowObject(window, find);
    const LRESULT answer = LresultFromObject(kIidAccessible, wParam, object);
    object->Release();  // LresultFromObject holds its own reference
    return answer;
}

void AnnounceStateChange(HWND window) {
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace forms
