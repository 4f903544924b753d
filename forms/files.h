// Whole-file writing with wide paths.
#pragma once

#include <windows.h>

#include <string>

namespace forms {

// Writes `bytes` to `path`, replacing it; false unless every byte was written.
bool WriteWholeFile(const std::wstring& path, const void* bytes, size_t size);

}  // namespace forms
