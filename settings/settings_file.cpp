#include "settings/settings_file.h"

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

IniCandidate Candidate(const SettingsFiles& files, const std::wstring& path) {
    IniCandidate candidate{path};
    candidate.exists = !path.empty() && files.writeTime(path, candidate.lastWriteTime);
    return candidate;
}

bool WriteAll(const Settings& settings, const SettingsFiles& files, const std::wstring& path) {
    // Every value is written even after one failed, so that as much as possible is kept.
    bool written = WriteIniValue(files, path, kKeyBgmKind, IniNumberText(settings.musicKind));
    written =
        WriteIniValue(files, path, kKeyBgmRepeat, IniNumberText(settings.repeatTrack)) && written;
    written = WriteIniValue(files, path, kKeyBgmFile, settings.musicFile) && written;
    for (const DisplayKey& stored : kDisplayKeys) {
        const int16_t number = settings.display.*stored.option ? 1 : 0;
        written = WriteIniValue(files, path, stored.key, IniNumberText(number)) && written;
    }
    return written;
}

}  // namespace

std::wstring ChooseSettingsFile(const IniCandidate& besideProgram, const IniCandidate& perUser) {
    const bool preferUser = perUser.exists && (!besideProgram.exists ||
                                               perUser.lastWriteTime > besideProgram.lastWriteTime);
    return preferUser ? perUser.path : besideProgram.path;
}

std::wstring ReadIniValue(const SettingsFiles& files, const std::wstring& path,
                          const wchar_t* key) {
    std::string bytes;
    if (!files.read(path, bytes))
        return std::wstring();
    return IniFileRead(bytes, EncodingOf(bytes), kIniSection, key);
}

bool WriteIniValue(const SettingsFiles& files, const std::wstring& path, const wchar_t* key,
                   const std::wstring& value) {
    std::string bytes;
    files.read(path, bytes);  // a missing file is created
    return files.replace(path, IniFileWrite(bytes, EncodingOf(bytes), kIniSection, key, value));
}

Settings LoadSettings(const SettingsFiles& files) {
    const std::wstring path =
        ChooseSettingsFile(Candidate(files, files.besideProgram), Candidate(files, files.perUser));
    Settings settings;
    settings.musicKind = IniNumber(ReadIniValue(files, path, kKeyBgmKind));
    settings.repeatTrack = IniNumber(ReadIniValue(files, path, kKeyBgmRepeat));
    settings.musicFile = ReadIniValue(files, path, kKeyBgmFile);
    for (const DisplayKey& stored : kDisplayKeys)
        settings.display.*stored.option = IniNumber(ReadIniValue(files, path, stored.key)) != 0;
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
