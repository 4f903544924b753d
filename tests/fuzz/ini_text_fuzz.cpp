// Any settings file: reading must stay within its bytes and return at most 255 of them, and
// a write must keep what it did not touch readable and return the value written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first bytes choose the section and key, the rest is the file.
    const size_t nameBytes = size < 8 ? size : 8;
    const std::string names(reinterpret_cast<const char*>(data), nameBytes);
    const std::string file(reinterpret_cast<const char*>(data) + nameBytes, size - nameBytes);
    const std::string section = names.substr(0, names.size() / 2) + "S";
    const std::string key = names.substr(names.size() / 2) + "K";

    const std::string value = merovan::IniRead(file, section, key);
    if (value.size() > merovan::kIniValueMaxBytes)
        std::abort();

    // Names of the kind the program writes: no line breaks, brackets or "=".
    for (const std::string& name : {section, key}) {
        if (name.find_first_of("\r\n[]=;") != std::string::npos || name.front() == ' ' ||
            name.back() == ' ' || name.front() == '\t' || name.back() == '\t') {
            return 0;
        }
    }
    const std::string written = merovan::IniWrite(file, section, key, " 2");
    if (merovan::IniRead(written, section, key) != "2")
        std::abort();
    return 0;
}
