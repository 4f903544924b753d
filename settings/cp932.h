// Code page 932 (Shift-JIS), the settings file's encoding whatever the user's locale.
#pragma once

#include <string>

namespace merovan {

// False when some character has no code page 932 form; `bytes` then holds a lossy form.
bool WideToCp932(const std::wstring& text, std::string& bytes);
std::wstring Cp932ToWide(const std::string& bytes);

}  // namespace merovan
