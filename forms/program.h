// The running program: its file, its folder, the screen it runs on, starting other
// programs and ending itself.
#pragma once

#include <windows.h>

#include <string>

#include "forms/handles.h"

namespace forms {

// The running program file's folder, without a trailing backslash.
std::wstring ProgramFolder();

int ScreenWidthPixels();
int ScreenHeightPixels();
// The rectangle around every monitor, in device pixels; the primary one's top-left is 0, 0.
RECT VirtualScreenPixels();
// Dots per inch of the screen, across and down.
int ScreenDpiX();
int ScreenDpiY();

struct StartedProgram {
    DWORD processId = 0;
    UniqueHandle process;  // null when the program could not be started
    // The job it runs in, which ends it when its last handle closes: at the latest when this
    // process ends, however it ends. Null when no job could hold it; it runs all the same.
    UniqueHandle job;
};

// Starts a program file as a new process with a normal, focused window, its quoted path
// followed by `arguments` (if any) as its command line, in a job of its own; does not wait.
StartedProgram StartProgram(const std::wstring& path, const std::wstring& arguments = L"");

// Runs the message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace forms
