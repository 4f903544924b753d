// A small Windows-side helper for the end-to-end tests: reads windows as Windows sees them,
// sends them messages, and hosts a preview the way the display settings do.
//
//   wintool window TITLE                 one line: hwnd class x y width height client visible styles
//                                        parent caption
//   wintool close TITLE                  posts WM_CLOSE to the top-level window TITLE
//   wintool repaint TITLE                has the window TITLE and its children repaint all
//   wintool endsession TITLE             tells the window TITLE that the user's session ends
//                                        (WM_QUERYENDSESSION, then WM_ENDSESSION)
//   wintool desktop                      the desktop window's line, as for "window"
//   wintool texts TITLE                  the captions of the window TITLE's children, one a line
//   wintool page PREFIX                  every visible top-level window whose caption starts with
//                                        PREFIX and each visible window inside it, one a line in
//                                        UTF-8: "window" or "child", class, screen rectangle,
//                                        check state, whether enabled, and the text, its line
//                                        breaks written as "|", which no path holds
//   wintool access TITLE                 what a screen reader finds in the top-level window TITLE:
//                                        its client object and, depth first, the children
//                                        AccessibleChildren gives, one a line in UTF-8:
//                                        "object", depth, role, state (hex), how the parent gave
//                                        it (child=0: an object of its own, else the child id),
//                                        screen rectangle, then name, value and keyboard
//                                        shortcut, each after a tab, line breaks written as "|"
//   wintool hold FILE                    opens FILE for reading, shared for reading only, prints
//                                        "held" and keeps it open until killed
//   wintool preview SCR W H              makes a W × H parent window, starts "SCR /p HWND",
//                                        waits for its child, prints it, destroys the parent
//                                        and prints how long the preview process took to end
//   wintool clip TEXT                    puts TEXT on the clipboard
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/hosts/host_support.h"

namespace {

std::string Narrow(const std::wstring& text) {
    // The console shows the program's code page; the tests read it as such.
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
    return out;
}

void PrintWindowLine(const char* label, HWND window) {
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    RECT rect{}, client{};
    GetWindowRect(window, &rect);
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    // The caption comes last: it may hold blanks.
    std::printf(
        "%s hwnd=%llu class=%s x=%ld y=%ld width=%ld height=%ld client=%ldx%ld "
        "client_x=%ld client_y=%ld visible=%d style=0x%08lx exstyle=0x%08lx parent=%llu "
        "caption=%s\n",
        label, static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)),
        Narrow(className).c_str(), rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, client.right, client.bottom, origin.x, origin.y,
        IsWindowVisible(window) ? 1 : 0,
        static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
        static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)),
        static_cast<unsigned long long>(
            reinterpret_cast<uintptr_t>(GetAncestor(window, GA_PARENT))),
        Narrow(caption).c_str());
    std::fflush(stdout);
}

void PumpFor(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::string Utf8(const std::wstring& text) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
    return out;
}

void PrintPageLine(const char* label, HWND window) {
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
    std::wstring oneLine;
    for (wchar_t c : text) {
        if (c == L'\n')
            oneLine += L'|';
        else if (c != L'\r')
            oneLine += c;
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    // Buttons answer how they are checked; other windows answer 0.
    const LRESULT checked = SendMessageW(window, BM_GETCHECK, 0, 0);
    std::printf("%s class=%s x=%ld y=%ld width=%ld height=%ld checked=%d enabled=%d text=%s\n",
                label, Utf8(className).c_str(), rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top, std::wcscmp(className, L"Button") == 0 && checked ? 1 : 0,
                IsWindowEnabled(window) ? 1 : 0, Utf8(oneLine).c_str());
}

BOOL CALLBACK PrintVisibleChild(HWND child, LPARAM) {
    if (IsWindowVisible(child))
        PrintPageLine("child", child);
    return TRUE;
}

BOOL CALLBACK PrintPage(HWND window, LPARAM prefix) {
    const std::wstring& wanted = *reinterpret_cast<const std::wstring*>(prefix);
    wchar_t caption[512] = {};
    GetWindowTextW(window, caption, 512);
    if (IsWindowVisible(window) && std::wstring(caption).rfind(wanted, 0) == 0) {
        PrintPageLine("window", window);
        EnumChildWindows(window, PrintVisibleChild, 0);
    }
    return TRUE;
}

// MinGW's import library resolves IID_IAccessible to a jump thunk rather than the GUID, so
// a query with it fails with E_NOINTERFACE.
constexpr IID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
// Deep enough for any window of ours; a tree that loops back on itself stops here.
constexpr int kMaxAccessDepth = 8;

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
using AccessiblePtr = std::unique_ptr<IAccessible, ComRelease>;

// COM for this thread, for as long as it lives.
struct ComApartment {
    ComApartment() : ok(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (ok)
            CoUninitialize();
    }
    const bool ok;
};

// A property's text (empty when the object has none) on one line, tab-free, in UTF-8.
std::string FieldText(HRESULT result, BSTR text) {
    std::wstring line;
    if (SUCCEEDED(result) && text != nullptr) {
        for (const wchar_t c : std::wstring(text, SysStringLen(text))) {
            if (c != L'\r')
                line += c == L'\n' ? L'|' : (c == L'\t' ? L' ' : c);
        }
    }
    SysFreeString(text);
    return Utf8(line);
}

void PrintAccessLine(IAccessible* object, long childId, int depth) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = childId;
    VARIANT role{}, state{};
    object->get_accRole(child, &role);
    object->get_accState(child, &state);
    long x = 0, y = 0, width = 0, height = 0;
    object->accLocation(&x, &y, &width, &height, child);
    BSTR name = nullptr, value = nullptr, shortcut = nullptr;
    const HRESULT named = object->get_accName(child, &name);
    const HRESULT valued = object->get_accValue(child, &value);
    const HRESULT shortcutGiven = object->get_accKeyboardShortcut(child, &shortcut);
    std::printf(
        "object depth=%d role=%ld state=0x%08lx child=%ld x=%ld y=%ld width=%ld height=%ld\t"
        "name=%s\tvalue=%s\tshortcut=%s\n",
        depth, role.vt == VT_I4 ? role.lVal : -1L,
        state.vt == VT_I4 ? static_cast<unsigned long>(state.lVal) : 0UL, childId, x, y, width,
        height, FieldText(named, name).c_str(), FieldText(valued, value).c_str(),
        FieldText(shortcutGiven, shortcut).c_str());
    VariantClear(&role);
    VariantClear(&state);
}

void PrintAccessTree(IAccessible* object, int depth) {
    PrintAccessLine(object, CHILDID_SELF, depth);
    long count = 0;
    if (depth >= kMaxAccessDepth || FAILED(object->get_accChildCount(&count)) || count <= 0)
        return;
    std::vector<VARIANT> children(static_cast<size_t>(count));
    for (VARIANT& child : children)
        VariantInit(&child);
    long got = 0;
    if (FAILED(AccessibleChildren(object, 0, count, children.data(), &got)))
        return;
    for (long i = 0; i < got; ++i) {
        VARIANT& child = children[static_cast<size_t>(i)];
        if (child.vt == VT_DISPATCH && child.pdispVal != nullptr) {
            IAccessible* inner = nullptr;
            if (SUCCEEDED(child.pdispVal->QueryInterface(kIidAccessible,
                                                         reinterpret_cast<void**>(&inner))))
                PrintAccessTree(AccessiblePtr(inner).get(), depth + 1);
        } else if (child.vt == VT_I4) {
            PrintAccessLine(object, child.lVal, depth + 1);
        }
        VariantClear(&child);
    }
}

int PrintAccess(const std::wstring& title) {
    const ComApartment com;
    HWND window = FindWindowW(nullptr, title.c_str());
    if (!com.ok || window == nullptr) {
        std::printf("error no-window\n");
        return 1;
    }
    IAccessible* client = nullptr;
    const HRESULT result = AccessibleObjectFromWindow(window, OBJID_CLIENT, kIidAccessible,
                                                      reinterpret_cast<void**>(&client));
    if (FAILED(result) || client == nullptr) {
        std::printf("error access 0x%08lx\n", static_cast<unsigned long>(result));
        return 1;
    }
    PrintAccessTree(AccessiblePtr(client).get(), 0);
    std::fflush(stdout);
    return 0;
}

int Preview(const std::wstring& scr, int width, int height) {
    HWND parent = MakePreviewParent(width, height);
    PrintWindowLine("parent", parent);

    std::wstring commandLine =
        L"\"" + scr + L"\" /p " + std::to_wstring(reinterpret_cast<uintptr_t>(parent));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(scr.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::printf("error start %lu\n", GetLastError());
        return 1;
    }
    HWND child = nullptr;
    for (int i = 0; i < 400 && child == nullptr; ++i) {
        PumpFor(50);
        child = FindWindowExW(parent, nullptr, nullptr, L"Preview Window");
    }
    // The preview makes its window a child first, then places and shows it.
    for (int i = 0; i < 200 && child != nullptr && !IsWindowVisible(child); ++i)
        PumpFor(50);
    if (child == nullptr) {
        std::printf("error no-child\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    PrintWindowLine("child", child);

    const ULONGLONG destroyed = GetTickCount64();
    DestroyWindow(parent);
    const DWORD wait = WaitForSingleObject(process.hProcess, 10000);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::printf("process ended=%d after_ms=%llu exit=%lu\n", wait == WAIT_OBJECT_0 ? 1 : 0,
                GetTickCount64() - destroyed, exitCode);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == L"window") {
        HWND window = FindWindowW(nullptr, args[1].c_str());
        if (window == nullptr) {
            std::printf("none\n");
            return 1;
        }
        PrintWindowLine("window", window);
        return 0;
    }
    if (args.size() == 1 && args[0] == L"desktop") {
        PrintWindowLine("desktop", GetDesktopWindow());
        return 0;
    }
    if (args.size() == 2 && args[0] == L"texts") {
        HWND window = FindWindowW(nullptr, args[1].c_str());
        for (HWND child = window != nullptr ? GetWindow(window, GW_CHILD) : nullptr;
             child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t caption[512] = {};
            GetWindowTextW(child, caption, 512);
            std::printf("%s\n", Narrow(caption).c_str());
        }
        return window != nullptr ? 0 : 1;
    }
    if (args.size() == 2 && args[0] == L"close") {
        HWND window = FindWindowW(nullptr, args[1].c_str());
        return window != nullptr && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (args.size() == 2 && args[0] == L"repaint") {
        HWND window = FindWindowW(nullptr, args[1].c_str());
        return window != nullptr &&
                       RedrawWindow(window, nullptr, nullptr,
                                    RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW)
                   ? 0
                   : 1;
    }
    if (args.size() == 2 && args[0] == L"endsession") {
        HWND window = FindWindowW(nullptr, args[1].c_str());
        if (window == nullptr)
            return 1;
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                            5000, &answer);
        std::printf("queryendsession=%llu\n", static_cast<unsigned long long>(answer));
        SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                            &answer);
        return 0;
    }
    if (args.size() == 2 && args[0] == L"page") {
        EnumWindows(PrintPage, reinterpret_cast<LPARAM>(&args[1]));
        std::fflush(stdout);
        return 0;
    }
    if (args.size() == 2 && args[0] == L"access")
        return PrintAccess(args[1]);
    if (args.size() == 2 && args[0] == L"hold") {
        // Like a program running from the file: others may read it, not write or delete it.
        HANDLE file = CreateFileW(args[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            std::printf("error open %lu\n", GetLastError());
            return 1;
        }
        std::printf("held\n");
        std::fflush(stdout);
        Sleep(INFINITE);
        return 0;
    }
    if (args.size() == 2 && args[0] == L"clip") {
        const size_t bytes = (args[1].size() + 1) * sizeof(wchar_t);
        const HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(data), args[1].c_str(), bytes);
        GlobalUnlock(data);
        const bool put = OpenClipboard(nullptr) && EmptyClipboard() &&
                         SetClipboardData(CF_UNICODETEXT, data) != nullptr;
        CloseClipboard();
        return put ? 0 : 1;
    }
    if (args.size() == 4 && args[0] == L"preview") {
        return Preview(args[1], _wtoi(args[2].c_str()), _wtoi(args[3].c_str()));
    }
    std::fprintf(stderr,
                 "usage: wintool window TITLE | desktop | texts TITLE | close TITLE | repaint "
                 "TITLE | endsession TITLE | "
                 "page PREFIX | access TITLE | hold FILE | preview SCR W H | clip TEXT\n");
    return 2;
}
