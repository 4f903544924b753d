// Any settings file: reading must stay within its bytes and return at most 255 units, and a
// write must keep what it did not touch readable, return the value written and leave the
// file in the encoding it was found in.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/ini_document.h"
#include "settings/ini_text.h"
#include "settings/settings.h"

namespace {

using merovan::IniCharset;

// The units of the file as text, with any name.
void FuzzText(const std::string& names, const std::string& file, IniCharset charset) {
    const std::string section = names.substr(0, names.size() / 2) + "S";
    const std::string key = names.substr(names.size() / 2) + "K";

    const std::string value = merovan::IniRead(file, section, key, charset);
    if (value.size() > merovan::kIniValueMaxBytes * (charset == IniCharset::kUtf8 ? 3 : 1))
        std::abort();

    // Names of the kind the program writes: no line breaks, brackets or "=".
    for (const std::string& name : {section, key}) {
        if (name.find_first_of("\r\n[]=;") != std::string::npos || name.front() == ' ' ||
            name.back() == ' ' || name.front() == '\t' || name.back() == '\t') {
            return;
        }
    }
    const std::string written = merovan::IniWrite(file, section, key, " 2", charset);
    if (merovan::IniRead(written, section, key, charset) != "2")
        std::abort();
}

// The file as a settings file behind each byte-order mark, or none, with a stored name.
void FuzzFile(const std::string& body, const char* mark, const wchar_t* key) {
    merovan::IniDocument document(mark + body);
    if (document.Get(merovan::kIniSection, key).size() > merovan::kIniValueMaxBytes)
        std::abort();
    if (!document.Set(merovan::kIniSection, key, L" 2"))
        std::abort();
    const merovan::IniDocument written(document.Bytes());
    if (written.Get(merovan::kIniSection, key) != L"2")
        std::abort();
    if (written.Encoding() != document.Encoding())
        std::abort();  // the next save would mix two encodings in one file
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first bytes choose the section and key and how the rest, the file, is taken.
    const size_t nameBytes = size < 8 ? size : 8;
    const std::string names(reinterpret_cast<const char*>(data), nameBytes);
    const std::string file(reinterpret_cast<const char*>(data) + nameBytes, size - nameBytes);
    const uint8_t choice = size > 0 ? data[0] : 0;

    FuzzText(names, file, (choice & 1) ? IniCharset::kUtf8 : IniCharset::kCp932);
    const wchar_t* keys[] = {merovan::kKeyBgmKind, merovan::kKeyBgmRepeat, merovan::kKeyBgmFile};
    const char* marks[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
    FuzzFile(file, marks[(choice >> 1) & 3], keys[(choice >> 3) % 3]);
    return 0;
}
