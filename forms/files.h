// Whole-file reading and writing with wide paths.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace forms {

// The file's bytes; false when it cannot be opened or read.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);

// Writes `bytes` to `path`, replacing it; false unless every byte was written.
bool WriteWholeFile(const std::wstring& path, const void* bytes, size_t size);

// Replaces `path` with `bytes` so that a failed write never leaves a cut file behind: the
// bytes go to a new file beside it, which then takes the old file's place. A read-only file
// is left as it is, and the result is false.
bool ReplaceWholeFile(const std::wstring& path, const std::string& bytes);

// Last-write time of a file (not a folder); false when there is no such file.
bool FileWriteTime(const std::wstring& path, uint64_t& time);

}  // namespace forms
