#include "settings/settings_file.h"

#include "common/newest_copy.h"
#include "settings/ini_file.h"

namespace merovan {
namespace {

// The file's encoding, by its mark or by the stored keys it holds.
IniEncoding EncodingOf(const std::string& bytes) {
    return IniEncodingOf(bytes, kIniSection, {kKeyBgmKind, kKeyBgmRepeat, kKeyBgmFile});
}

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

FileCopy<std::wstring> Copy(const SettingsFiles& files, const std::wstring& path) {
    const std::optional<uint64_t> time = path.empty() ? std::nullopt : files.writeTime(path);
    return {path, time.has_value(), time.value_or(0)};
}

// The value of `key` in a file's bytes.
std::wstring ValueIn(const std::string& bytes, const wchar_t* key) {
    return IniFileRead(bytes, EncodingOf(bytes), kIniSection, key);
}

// A file's bytes with `key` set to `value`, creating the section or key.
std::string WithValue(const std::string& bytes, const wchar_t* key, const std::wstring& value) {
    return IniFileWrite(bytes, EncodingOf(bytes), kIniSection, key, value);
}

// Every value, set in the file's bytes read once and written back once.
bool WriteAll(const Settings& settings, const SettingsFiles& files, const std::wstring& path) {
    std::string bytes;
    files.read(path, kLargestSettingsFileBytes, bytes);  // a missing file is created
    bytes = WithValue(bytes, kKeyBgmKind, IniNumberText(settings.musicKind));
    bytes = WithValue(bytes, kKeyBgmRepeat, IniNumberText(settings.repeatTrack));
    bytes = WithValue(bytes, kKeyBgmFile, settings.musicFile);
    for (const DisplayKey& stored : kDisplayKeys) {
        const int16_t number = settings.display.*stored.option ? 1 : 0;
        bytes = WithValue(bytes, stored.key, IniNumberText(number));
    }
    return files.replace(path, bytes);
}

}  // namespace

Settings LoadSettings(const SettingsFiles& files) {
    const std::wstring path =
        NewestCopy<std::wstring>({Copy(files, files.besideProgram), Copy(files, files.perUser)});
    std::string bytes;  // read once; a missing file holds no values
    if (!files.read(path, kLargestSettingsFileBytes, bytes))
        bytes.clear();
    Settings settings;
    settings.musicKind = IniNumber(ValueIn(bytes, kKeyBgmKind));
    settings.repeatTrack = IniNumber(ValueIn(bytes, kKeyBgmRepeat));
    settings.musicFile = ValueIn(bytes, kKeyBgmFile);
    for (const DisplayKey& stored : kDisplayKeys)
        settings.display.*stored.option = IniNumber(ValueIn(bytes, stored.key)) != 0;
    if (!settings.musicFile.empty() && !files.fileExists(settings.musicFile))
        settings.musicFile.clear();
    if (settings.musicFile.empty() && settings.musicKind == kMusicFile)
        settings.musicKind = kNoMusic;
    settings.pickerFolder =
        settings.musicFile.empty() ? files.programFolder : FolderOf(settings.musicFile);
    return settings;
}

bool SaveSettings(const Settings& settings, const SettingsFiles& files) {
    if (WriteAll(settings, files, files.besideProgram))
        return true;
    if (files.perUser.empty())
        return false;
    files.makeFolder(FolderOf(files.perUser));
    return WriteAll(settings, files, files.perUser);
}

}  // namespace merovan
