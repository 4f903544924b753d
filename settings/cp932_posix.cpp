// The same conversions on the Linux host, through iconv, for the tests.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "settings/cp932.h"

namespace merovan {
namespace {

// Converts all of `input`; characters that do not convert become "?" and make it lossy.
template <typename Out>
bool Convert(const char* to, const char* from, const char* input, size_t inputBytes, Out& out,
             size_t unitBytes, const char* replacement, size_t replacementBytes) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    bool lossless = true;
    std::vector<char> buffer(inputBytes * 4 + 16);
    char* in = const_cast<char*>(input);
    size_t inLeft = inputBytes;
    std::string bytes;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        bytes.append(buffer.data(), outPtr);
        if (result == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            lossless = false;
            bytes.append(replacement, replacementBytes);
            const size_t skip = std::min(inLeft, unitBytes);
            in += skip;
            inLeft -= skip;
        } else if (result > 0) {
            lossless = false;  // iconv substituted something
        }
    }
    iconv_close(cd);
    out.assign(reinterpret_cast<const typename Out::value_type*>(bytes.data()),
               bytes.size() / sizeof(typename Out::value_type));
    return lossless;
}

}  // namespace

bool WideToCp932(const std::wstring& text, std::string& bytes) {
    return Convert("CP932", "WCHAR_T", reinterpret_cast<const char*>(text.data()),
                   text.size() * sizeof(wchar_t), bytes, sizeof(wchar_t), "?", 1);
}

std::wstring Cp932ToWide(const std::string& bytes) {
    std::wstring text;
    const wchar_t replacement = L'\u30FB';
    Convert("WCHAR_T", "CP932", bytes.data(), bytes.size(), text, 1,
            reinterpret_cast<const char*>(&replacement), sizeof replacement);
    return text;
}

}  // namespace merovan
