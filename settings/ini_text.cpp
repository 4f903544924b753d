#include "settings/ini_text.h"

#include <algorithm>
#include <vector>

#include "common/ascii_text.h"
#include "settings/utf_text.h"

namespace merovan {
namespace {

struct Line {
    size_t begin;  // first unit of the line
    size_t end;    // one past the last unit before the line break
    size_t next;   // first unit of the following line
};

bool IsBreak(char32_t c) {
    return c == '\r' || c == '\n';
}

template <typename Text>
std::vector<Line> SplitLines(const Text& file) {
    std::vector<Line> lines;
    size_t begin = 0;
    while (begin < file.size()) {
        size_t end = begin;
        while (end < file.size() && !IsBreak(file[end]))
            ++end;
        size_t next = end;
        if (next < file.size())
            next +=
                (file[next] == '\r' && next + 1 < file.size() && file[next + 1] == '\n') ? 2 : 1;
        lines.push_back({begin, end, next});
        begin = next;
    }
    return lines;
}

// The file's first line break; CR LF when it has none.
template <typename Text>
Text LineBreakOf(const Text& file) {
    for (size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '\n')
            return Text(1, '\n');
        if (file[i] == '\r')
            return (i + 1 < file.size() && file[i + 1] == '\n') ? Text{'\r', '\n'} : Text(1, '\r');
    }
    return Text{'\r', '\n'};
}

// True for the first byte of a code page 932 double-byte character.
bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Units taken by the character at text[i]. A byte that starts no well-formed UTF-8
// character stands alone, as it reads as one U+FFFD.
size_t Width(const std::string& text, size_t i, IniCharset charset) {
    if (charset == IniCharset::kUtf8)
        return std::max<size_t>(Utf8CharacterLength(text, i), 1);
    const bool pair = IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    return pair ? 2 : 1;
}

size_t Width(const std::u16string& text, size_t i, IniCharset) {
    const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    return pair ? 2 : 1;
}

// Units of a profile buffer that a character of `width` units takes: its bytes in code
// page 932, its UTF-16 units otherwise.
size_t BufferUnits(const std::string&, size_t width, IniCharset charset) {
    if (charset == IniCharset::kCp932)
        return width;
    return width == 4 ? 2 : 1;
}

size_t BufferUnits(const std::u16string&, size_t width, IniCharset) {
    return width;
}

bool IsSpace(char32_t c) {
    return c == ' ' || c == '\t';
}

template <typename Text>
Text Trim(const Text& text, size_t begin, size_t end) {
    while (begin < end && IsSpace(text[begin]))
        ++begin;
    while (end > begin && IsSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

template <typename Text>
bool NamesMatch(const Text& a, const Text& b, IniCharset charset) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size();) {
        const size_t width = Width(a, i, charset);
        if (width > 1) {
            if (a.compare(i, width, b, i, width) != 0)
                return false;
        } else if (UpperAscii<char32_t>(a[i]) != UpperAscii<char32_t>(b[i])) {
            return false;
        }
        i += width;
    }
    return true;
}

// The section name of a "[name]" line, or false when the line is not a section header.
template <typename Text>
bool SectionName(const Text& file, const Line& line, Text& name) {
    size_t begin = line.begin;
    while (begin < line.end && IsSpace(file[begin]))
        ++begin;
    if (begin == line.end || file[begin] != '[')
        return false;
    const size_t close = file.find(']', begin + 1);
    const size_t stop = (close == Text::npos || close > line.end) ? line.end : close;
    name = Trim(file, begin + 1, stop);
    return true;
}

// Splits a "key=value" line. A line without "=" is a key with no value.
template <typename Text>
void KeyAndValue(const Text& file, const Line& line, Text& key, Text& value) {
    const size_t equals = file.find('=', line.begin);
    if (equals == Text::npos || equals >= line.end) {
        key = Trim(file, line.begin, line.end);
        value.clear();
        return;
    }
    key = Trim(file, line.begin, equals);
    value = Trim(file, equals + 1, line.end);
}

struct Found {
    bool section = false;
    size_t sectionEnd = 0;  // index of the first line after the section's last non-blank line
    bool key = false;
    size_t keyLine = 0;
};

template <typename Text>
Found Find(const Text& file, const std::vector<Line>& lines, const Text& section, const Text& key,
           IniCharset charset) {
    Found found;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        Text name;
        if (SectionName(file, lines[i], name)) {
            if (found.section)
                break;  // the first matching section is the one used
            inside = NamesMatch(name, section, charset);
            if (inside) {
                found.section = true;
                found.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inside)
            continue;
        Text lineKey, value;
        KeyAndValue(file, lines[i], lineKey, value);
        if (lineKey.empty())
            continue;
        found.sectionEnd = i + 1;
        if (!found.key && NamesMatch(lineKey, key, charset)) {
            found.key = true;
            found.keyLine = i;
        }
    }
    return found;
}

template <typename Text>
Text Read(const Text& file, const Text& section, const Text& key, IniCharset charset) {
    const std::vector<Line> lines = SplitLines(file);
    const Found found = Find(file, lines, section, key, charset);
    if (!found.key)
        return Text();
    Text lineKey, value;
    KeyAndValue(file, lines[found.keyLine], lineKey, value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    // Cut at the last character boundary that fits the buffer.
    size_t units = 0, i = 0;
    while (i < value.size()) {
        const size_t width = Width(value, i, charset);
        units += BufferUnits(value, width, charset);
        if (units > kIniValueMaxBytes)
            break;
        i += width;
    }
    value.resize(i);
    return value;
}

template <typename Text>
Text Write(const Text& file, const Text& section, const Text& key, const Text& value,
           IniCharset charset) {
    const std::vector<Line> lines = SplitLines(file);
    const Found found = Find(file, lines, section, key, charset);
    const Text lineBreak = LineBreakOf(file);
    const Text equals(1, '=');

    if (found.key) {
        // The key keeps its spelling in the file; only its line is rewritten.
        const Line& line = lines[found.keyLine];
        Text existingKey, oldValue;
        KeyAndValue(file, line, existingKey, oldValue);
        return file.substr(0, line.begin) + existingKey + equals + value + file.substr(line.end);
    }
    const Text keyLine = key + equals + value + lineBreak;
    if (found.section) {
        const Line& last = lines[found.sectionEnd - 1];
        Text head = file.substr(0, last.next);
        if (last.next == last.end)
            head += lineBreak;  // the file's last line had no line break
        return head + keyLine + file.substr(last.next);
    }
    Text text = file;
    if (!lines.empty() && lines.back().next == lines.back().end)
        text += lineBreak;
    return text + Text(1, '[') + section + Text(1, ']') + lineBreak + keyLine;
}

}  // namespace

std::string IniRead(const std::string& file, const std::string& section, const std::string& key,
                    IniCharset charset) {
    return Read(file, section, key, charset);
}

std::u16string IniRead(const std::u16string& file, const std::u16string& section,
                       const std::u16string& key) {
    return Read(file, section, key, IniCharset::kUtf8);
}

std::string IniWrite(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value, IniCharset charset) {
    return Write(file, section, key, value, charset);
}

std::u16string IniWrite(const std::u16string& file, const std::u16string& section,
                        const std::u16string& key, const std::u16string& value) {
    return Write(file, section, key, value, IniCharset::kUtf8);
}

}  // namespace merovan
