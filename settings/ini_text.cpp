#include "settings/ini_text.h"

#include <vector>

namespace merovan {
namespace {

struct Line {
    size_t begin;  // first byte of the line
    size_t end;    // one past the last byte before the line break
    size_t next;   // first byte of the following line
};

std::vector<Line> SplitLines(const std::string& file) {
    std::vector<Line> lines;
    size_t begin = 0;
    while (begin < file.size()) {
        size_t end = file.find('\n', begin);
        const size_t next = end == std::string::npos ? file.size() : end + 1;
        if (end == std::string::npos)
            end = file.size();
        if (end > begin && file[end - 1] == '\r')
            --end;
        lines.push_back({begin, end, next});
        begin = next;
    }
    return lines;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text, size_t begin, size_t end) {
    while (begin < end && IsSpace(text[begin]))
        ++begin;
    while (end > begin && IsSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool NamesMatch(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsCp932LeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// The section name of a "[name]" line, or false when the line is not a section header.
bool SectionName(const std::string& file, const Line& line, std::string& name) {
    size_t begin = line.begin;
    while (begin < line.end && IsSpace(file[begin]))
        ++begin;
    if (begin == line.end || file[begin] != '[')
        return false;
    const size_t close = file.find(']', begin + 1);
    const size_t stop = (close == std::string::npos || close > line.end) ? line.end : close;
    name = Trim(file, begin + 1, stop);
    return true;
}

// Splits a "key=value" line. A line without "=" is a key with no value.
void KeyAndValue(const std::string& file, const Line& line, std::string& key, std::string& value) {
    const size_t equals = file.find('=', line.begin);
    if (equals == std::string::npos || equals >= line.end) {
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

Found Find(const std::string& file, const std::vector<Line>& lines, const std::string& section,
           const std::string& key) {
    Found found;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (SectionName(file, lines[i], name)) {
            if (found.section)
                break;  // the first matching section is the one used
            inside = NamesMatch(name, section);
            if (inside) {
                found.section = true;
                found.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inside)
            continue;
        std::string lineKey, value;
        KeyAndValue(file, lines[i], lineKey, value);
        if (lineKey.empty())
            continue;
        found.sectionEnd = i + 1;
        if (!found.key && NamesMatch(lineKey, key)) {
            found.key = true;
            found.keyLine = i;
        }
    }
    return found;
}

}  // namespace

bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string IniRead(const std::string& file, const std::string& section, const std::string& key) {
    const std::vector<Line> lines = SplitLines(file);
    const Found found = Find(file, lines, section, key);
    if (!found.key)
        return std::string();
    std::string lineKey, value;
    KeyAndValue(file, lines[found.keyLine], lineKey, value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    if (value.size() > kIniValueMaxBytes) {
        // Find the character boundary at or below the limit.
        size_t cut = 0;
        for (size_t i = 0; i < kIniValueMaxBytes;) {
            const size_t width = IsCp932LeadByte(static_cast<unsigned char>(value[i])) ? 2 : 1;
            if (i + width > kIniValueMaxBytes)
                break;
            i += width;
            cut = i;
        }
        value.resize(cut);
    }
    return value;
}

std::string IniWrite(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) {
    const std::vector<Line> lines = SplitLines(file);
    const Found found = Find(file, lines, section, key);
    const std::string keyLine = key + "=" + value;

    if (found.key) {
        // The key keeps its spelling in the file; only its line is rewritten.
        const Line& line = lines[found.keyLine];
        std::string existingKey, oldValue;
        KeyAndValue(file, line, existingKey, oldValue);
        return file.substr(0, line.begin) + existingKey + "=" + value + file.substr(line.end);
    }
    if (found.section) {
        const Line& last = lines[found.sectionEnd - 1];
        std::string head = file.substr(0, last.next);
        if (head.back() != '\n')
            head += "\r\n";  // the file's last line had no line break
        return head + keyLine + "\r\n" + file.substr(last.next);
    }
    std::string text = file;
    if (!text.empty() && text.back() != '\n')
        text += "\r\n";
    return text + "[" + section + "]\r\n" + keyLine + "\r\n";
}

}  // namespace merovan
