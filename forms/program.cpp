#include "forms/program.h"

#include <vector>

namespace forms {
namespace {

// Full path of the running program file (long paths included).
std::wstring ProgramPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::wstring();
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);  // cut: try a larger buffer
    }
}

constexpr int kStandardDpi = 96;

int DotsPerInch(int axis) {
    const WindowDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.Get(), axis);
    return dpi > 0 ? dpi : kStandardDpi;
}

}  // namespace

std::wstring ProgramFolder() {
    const std::wstring path = ProgramPath();
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

int ScreenWidthPixels() {
    return GetSystemMetrics(SM_CXSCREEN);
}
int ScreenHeightPixels() {
    return GetSystemMetrics(SM_CYSCREEN);
}

RECT VirtualScreenPixels() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

int ScreenDpiX() {
    return DotsPerInch(LOGPIXELSX);
}
int ScreenDpiY() {
    return DotsPerInch(LOGPIXELSY);
}

namespace {

// A job whose processes end when its last handle closes.
UniqueHandle KillOnCloseJob() {
    UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                         sizeof limits)) {
        return nullptr;
    }
    return job;
}

}  // namespace

StartedProgram StartProgram(const std::wstring& path, const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    // The program is started as it is, not through a file association: its name ends in
    // .dll. CreateProcessW may write to the command line, so it gets its own copy.
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    StartedProgram started;
    // Suspended until it is in its job, so that not even its first instructions run outside.
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &info)) {
        OutputDebugStringW(
            (path + L" could not be started (error " + std::to_wstring(GetLastError()) + L").\n")
                .c_str());
        return started;
    }
    const UniqueHandle thread(info.hThread);
    started.processId = info.dwProcessId;
    started.process.reset(info.hProcess);
    started.job = KillOnCloseJob();
    if (started.job && !AssignProcessToJobObject(started.job.get(), info.hProcess)) {
        OutputDebugStringW((L"No job holds " + path + L": it may outlive us.\n").c_str());
        started.job.reset();
    }
    ResumeThread(info.hThread);
    return started;
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace forms
