// UTF-8 ⇄ UTF-16 at the renderer's Win32 boundary.
#pragma once

#include <string>

namespace merovan {

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

}  // namespace merovan
