// The settings file's places and file operations on Windows.
#pragma once

#include <string>

#include "settings/settings_file.h"

namespace merovan {

SettingsFiles WindowsSettingsFiles();

// True when `path` names a file that can be opened for reading; a folder is not a file.
bool FileExists(const std::wstring& path);

}  // namespace merovan
