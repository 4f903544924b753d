// A small Windows-side helper for the end-to-end tests: reads windows as Windows sees them,
// sends them messages, and hosts a preview the way the display settings do.
//
//   wintool window TITLE                 one line: hwnd class x y width height client visible styles
//   parent caption wintool close TITLE                  posts WM_CLOSE to the top-level window
//   TITLE wintool repaint TITLE                has the window TITLE and its children repaint all
//   wintool endsession TITLE             tells the window TITLE that the user's session ends
//                                        (WM_QUERYENDSESSION, then WM_ENDSESSION)
//   wintool desktop                      the desktop window's line, as for "window"
//   wintool texts TITLE                  the captions of the window TITLE's children, one a line
//   wintool page PREFIX                  every visible top-level window whose caption starts with
//                                        PREFIX and each visible window inside it, one a line in
//                                        UTF-8: "window" or "child", class, screen rectangle,
//                                        check state, whether enabled, and the text, its line
//                                        breaks written as "|", which no path holds
//   wintool hold FILE                    opens FILE for reading, shared for reading only, prints
//                                        "held" and keeps it open until killed
//   wintool preview SCR W H              makes a W × H parent window, starts "SCR /p HWND",
//                                        waits for its child, prints it, destroys the parent
//                                        and prints how long the preview process took to end
//   wintool clip TEXT                    puts TEXT on the clipboard
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
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
                 "page PREFIX | hold FILE | preview SCR W H | clip TEXT\n");
    return 2;
}
