#include <windows.h>

#include "settings/cp932.h"

namespace merovan {

constexpr UINT kCodePage932 = 932;

bool WideToCp932(const std::wstring& text, std::string& bytes) {
    bytes.clear();
    if (text.empty())
        return true;
    BOOL lossy = FALSE;
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(), size,
                                           nullptr, 0, nullptr, &lossy);
    bytes.resize(static_cast<size_t>(length));
    WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, text.data(), size, bytes.data(), length,
                        nullptr, &lossy);
    return length > 0 && !lossy;
}

std::wstring Cp932ToWide(const std::string& bytes) {
    if (bytes.empty())
        return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(kCodePage932, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kCodePage932, 0, bytes.data(), size, text.data(), length);
    return text;
}

}  // namespace merovan
