#include "settings/settings_file.h"

#include "common/newest_copy.h"
#include "settings/ini_document.h"

namespace merovan {
namespace {

// The display options with their keys, in the order they are written after the music keys.
struct DisplayKey {
    const wchar_t* key;
    bool DisplayOptions::*option;
};
const DisplayKey kDisplayKeys[] = {
    {kKeyDisplayArea, &DisplayOptions::everyMonitor},
    {kKeyFramePacing, &DisplayOptions::pacedFrames},
    {kKeyEndingInput, &DisplayOptions::anyInputEnds},
};

std::optional<uint64_t> WriteTime(const SettingsFiles& files, const std::wstring& path) {
    return path.empty() ? std::nullopt : files.writeTime(path);
}

FileCopy<std::wstring> Copy(const SettingsFiles& files, const std::wstring& path) {
    const std::optional<uint64_t> time = WriteTime(files, path);
    return {path, time.has_value(), time.value_or(0)};
}

// Every stored value set in the document; false when its encoding cannot hold one.
bool SetValues(const Settings& settings, IniDocument& document) {
    bool held = document.Set(kIniSection, kKeyBgmKind, IniNumberText(settings.musicKind)) &&
                document.Set(kIniSection, kKeyBgmRepeat, IniNumberText(settings.repeatTrack)) &&
                document.Set(kIniSection, kKeyBgmFile, settings.musicFile);
    for (const DisplayKey& stored : kDisplayKeys) {
        const int16_t number = settings.display.*stored.option ? 1 : 0;
        held = held && document.Set(kIniSection, stored.key, IniNumberText(number));
    }
    return held;
}

// Reads the file at `path` whole, sets the values and replaces it, dated after `other`.
std::optional<FileProblem> SaveInto(const Settings& settings, const SettingsFiles& files,
                                    const std::wstring& path, const std::wstring& other) {
    const FileBytes file = files.read(path, kLargestSettingsFileBytes);
    if (file.problem && *file.problem != FileProblem::kMissing)
        return file.problem;  // what was not read whole is never replaced
    IniDocument document(file.bytes);
    if (!SetValues(settings, document))
        return FileProblem::kCannotHold;
    return files.replace(path, document.Bytes(), WriteTime(files, other));
}

}  // namespace

Settings LoadSettings(const SettingsFiles& files) {
    const std::wstring path =
        NewestCopy<std::wstring>({Copy(files, files.besideProgram), Copy(files, files.perUser)});
    // Read once; a file that is missing or not read whole holds no values.
    const FileBytes file = files.read(path, kLargestSettingsFileBytes);
    const IniDocument document(file.problem ? std::string() : file.bytes);
    const auto value = [&](const wchar_t* key) { return document.Get(kIniSection, key); };
    Settings settings;
    settings.musicKind = IniNumber(value(kKeyBgmKind));
    settings.repeatTrack = IniNumber(value(kKeyBgmRepeat));
    settings.musicFile = value(kKeyBgmFile);
    for (const DisplayKey& stored : kDisplayKeys)
        settings.display.*stored.option = IniNumber(value(stored.key)) != 0;
    if (!settings.musicFile.empty() && !files.fileExists(settings.musicFile))
        settings.musicFile.clear();
    if (settings.musicFile.empty() && settings.musicKind == kMusicFile)
        settings.musicKind = kNoMusic;
    settings.pickerFolder =
        settings.musicFile.empty() ? files.programFolder : FolderOf(settings.musicFile);
    settings.fileEncoding = document.Encoding();
    return settings;
}

std::optional<SaveFailure> SaveSettings(const Settings& settings, const SettingsFiles& files) {
    std::optional<FileProblem> problem =
        SaveInto(settings, files, files.besideProgram, files.perUser);
    if (!problem)
        return std::nullopt;
    const bool tryPerUser =
        (*problem == FileProblem::kUnwritable || *problem == FileProblem::kCannotHold) &&
        !files.perUser.empty();
    if (!tryPerUser)
        return SaveFailure{*problem, files.besideProgram};
    files.makeFolder(FolderOf(files.perUser));
    problem = SaveInto(settings, files, files.perUser, files.besideProgram);
    if (!problem)
        return std::nullopt;
    return SaveFailure{*problem, files.perUser};
}

}  // namespace merovan
