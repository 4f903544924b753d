#include "renderer/switches.h"

#include <vector>

#include "common/ascii_text.h"
#include "common/program_names.h"

namespace merovan {
namespace {

struct Word {
    std::wstring text;
    bool quoted = false;  // some of it stood in quotes: a path, never a switch

    bool Is(std::wstring_view name) const { return !quoted && SameIgnoringAsciiCase(text, name); }
};

// A quote opens or closes a quoted stretch and is not part of the word; a quote left open
// runs to the end of the line.
std::vector<Word> SplitWords(std::wstring_view line) {
    std::vector<Word> words;
    size_t at = 0;
    while (true) {
        while (at < line.size() && IsCommandLineBlank(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            return words;
        }
        Word word;
        bool inQuotes = false;
        for (; at < line.size() && (inQuotes || !IsCommandLineBlank(line[at])); ++at) {
            if (line[at] == L'"') {
                inQuotes = !inQuotes;
                word.quoted = true;
            } else {
                word.text += line[at];
            }
        }
        words.push_back(std::move(word));
    }
}

}  // namespace

RendererSwitches ParseRendererSwitches(std::wstring_view commandLine) {
    RendererSwitches switches;
    const std::vector<Word> words = SplitWords(commandLine);
    for (size_t i = 0; i < words.size(); ++i) {
        const Word& word = words[i];
        if (word.Is(kSwitchEveryMonitor)) {
            switches.everyMonitor = true;
        } else if (word.Is(kSwitchPacedFrames)) {
            switches.pacedFrames = true;
        } else if (word.Is(kSwitchAnyInputEnds)) {
            switches.anyInputEnds = true;
        } else if (word.Is(kSwitchSnapshots)) {
            SnapshotPaths paths;
            if (i + 1 < words.size()) {
                paths.sheet = words[++i].text;
            }
            if (i + 1 < words.size()) {
                paths.background = words[++i].text;
            }
            switches.snapshots = std::move(paths);
        }
    }
    return switches;
}

}  // namespace merovan
