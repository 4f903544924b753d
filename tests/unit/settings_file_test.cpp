#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "settings/cp932.h"
#include "settings/ini_document.h"

namespace merovan {
namespace {

TEST(Settings, StoredNumbers) {
    struct Row {
        const wchar_t* text;
        int16_t value;
    };
    const Row rows[] = {
        {L"", 0},          {L" 2", 2},    {L"2", 2},           {L"1.9", 1},
        {L"-0.5", -1},     {L"-1", -1},   {L"abc", 0},         {L"12abc", 0},
        {L"32767", 32767}, {L"32768", 0}, {L"-32768", -32768}, {L"-32769", 0},
        {L"1e2", 100},     {L"1e", 0},    {L" 7 ", 7},         {L".5", 0},
        {L"+3", 3},        {L"-", 0},     {L"1e999", 0},       {L"- 1", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IniNumber(row.text), row.value) << '"' << row.text << '"';
    }
    EXPECT_EQ(IniNumberText(0), L" 0");
    EXPECT_EQ(IniNumberText(2), L" 2");
    EXPECT_EQ(IniNumberText(-1), L"-1");
    EXPECT_EQ(IniNumberText(32767), L" 32767");
}

TEST(Settings, PathHelpers) {
    EXPECT_EQ(FolderOf(L"C:\\Music\\a.mp3"), L"C:\\Music");
    EXPECT_EQ(FolderOf(L"C:\\a.mp3"), L"C:");
    EXPECT_EQ(FolderOf(L"D:a.wav"), L"D:");
    EXPECT_EQ(FolderOf(L"a.mp3"), L"");
    EXPECT_EQ(FolderOf(L"\\\\server\\share\\音楽\\曲.mp3"), L"\\\\server\\share\\音楽");
    EXPECT_EQ(FolderOf(L"C:\\Music\\"), L"C:\\Music");
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\Music\\"), L"C:\\Music");
    EXPECT_EQ(WithoutTrailingBackslash(L"C:\\Music"), L"C:\\Music");
}

std::string Cp932(const std::wstring& text) {
    std::string bytes;
    EXPECT_TRUE(WideToCp932(text, bytes));
    return bytes;
}

// A disk of whole files in memory, each with its write time, and the problems that
// reading or replacing a file meets.
struct FakeDisk {
    std::map<std::wstring, std::pair<std::string, uint64_t>> files;
    std::map<std::wstring, std::optional<FileProblem>> readProblems, replaceProblems;
    std::set<std::wstring> folders, musicFiles;
    uint64_t clock = 100;

    SettingsFiles Files() {
        SettingsFiles f;
        f.besideProgram = L"C:\\Program Files\\メロヴァン\\メロヴァン.ini";
        f.perUser = L"C:\\Users\\u\\AppData\\Roaming\\Merovan\\メロヴァン.ini";
        f.programFolder = L"C:\\Program Files\\メロヴァン";
        f.read = [this](const std::wstring& path, size_t) -> FileBytes {
            if (readProblems[path])
                return {{}, readProblems[path]};
            if (!files.count(path))
                return {{}, FileProblem::kMissing};
            return {files[path].first, std::nullopt};
        };
        f.replace = [this](const std::wstring& path, const std::string& bytes,
                           std::optional<uint64_t> newerThan) -> std::optional<FileProblem> {
            if (replaceProblems[path])
                return replaceProblems[path];
            files[path] = {bytes, std::max(++clock, newerThan.value_or(0) + 1)};
            return std::nullopt;
        };
        f.writeTime = [this](const std::wstring& path) -> std::optional<uint64_t> {
            if (!files.count(path))
                return std::nullopt;
            return files[path].second;
        };
        f.fileExists = [this](const std::wstring& path) { return musicFiles.count(path) > 0; };
        f.makeFolder = [this](const std::wstring& folder) { folders.insert(folder); };
        return f;
    }
};

TEST(Settings, LoadingFromTheStoredKeys) {
    struct Row {
        const char* name;
        const wchar_t *kind, *repeat, *file;
        bool fileExists;
        int16_t expectKind, expectRepeat;
        const wchar_t *expectFile, *expectFolder;
    };
    const wchar_t* song = L"D:\\音楽\\曲 1.mp3";
    const wchar_t* program = L"C:\\Program Files\\メロヴァン";
    const Row rows[] = {
        {"nothing stored", L"", L"", L"", false, 0, 0, L"", program},
        {"file source with its file", L" 2", L" 0", song, true, 2, 0, song, L"D:\\音楽"},
        {"file source, no file named", L" 2", L" 0", L"", false, 0, 0, L"", program},
        {"file source, file gone", L" 2", L" 3", song, false, 0, 3, L"", program},
        {"CD keeps a gone file's kind", L" 1", L" 5", song, false, 1, 5, L"", program},
        {"CD with a file still there", L" 1", L"", song, true, 1, 0, song, L"D:\\音楽"},
        {"fractions round down", L"1.9", L"-0.5", L"", false, 1, -1, L"", program},
        {"letters", L"abc", L"abc", L"", false, 0, 0, L"", program},
        {"out of range", L"70000", L"-40000", L"", false, 0, 0, L"", program},
        {"unknown kind kept", L" 3", L"", L"", false, 3, 0, L"", program},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeDisk disk;
        const SettingsFiles files = disk.Files();
        disk.files[files.besideProgram] = {
            Cp932(L"[Section]\r\nBGM区分=" + std::wstring(row.kind) + L"\r\nBGMﾘﾋﾟｰﾄ=" +
                  row.repeat + L"\r\nBGMﾌｧｲﾙ=" + row.file + L"\r\n"),
            1};
        if (row.fileExists)
            disk.musicFiles.insert(row.file);
        const Settings s = LoadSettings(files);
        EXPECT_EQ(s.musicKind, row.expectKind);
        EXPECT_EQ(s.repeatTrack, row.expectRepeat);
        EXPECT_EQ(s.musicFile, row.expectFile);
        EXPECT_EQ(s.pickerFolder, row.expectFolder);
    }
}

TEST(Settings, DisplayOptionsAreOnForAnyStoredNumberButZero) {
    struct Row {
        const char* stored;  // code page 932 text after "=", or null for no line
        bool on;
    };
    const Row rows[] = {{nullptr, false}, {"", false},    {" 0", false}, {"abc", false},
                        {"0.5", false},   {" 1", true},   {"1", true},   {"2", true},
                        {"-1", true},     {"1abc", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored ? row.stored : "(no line)");
        FakeDisk disk;
        const SettingsFiles files = disk.Files();
        std::string text = "[Section]\r\n";
        if (row.stored != nullptr) {
            for (const char* key :
                 {"\x95\x5C\x8E\xA6\x94\xCD\x88\xCD", "\x95\x60\x89\xE6\x8A\xD4\x8A\x75",
                  "\x8F\x49\x97\xB9\x91\x80\x8D\xEC"})
                text += std::string(key) + "=" + row.stored + "\r\n";
        }
        disk.files[files.besideProgram] = {text, 1};
        const DisplayOptions read = LoadSettings(files).display;
        EXPECT_EQ(read.everyMonitor, row.on);
        EXPECT_EQ(read.pacedFrames, row.on);
        EXPECT_EQ(read.anyInputEnds, row.on);
    }
}

TEST(Settings, SavingWritesTheSixKeysInCodePage932) {
    FakeDisk disk;
    const SettingsFiles files = disk.Files();
    Settings chosen;
    chosen.musicKind = kMusicFile;
    chosen.musicFile = L"D:\\音楽\\曲.mp3";
    chosen.display.everyMonitor = true;
    chosen.display.anyInputEnds = true;
    ASSERT_EQ(SaveSettings(chosen, files), std::nullopt);
    std::string expected;
    ASSERT_TRUE(
        WideToCp932(L"[Section]\r\nBGM区分= 2\r\nBGMﾘﾋﾟｰﾄ= 0\r\nBGMﾌｧｲﾙ=D:\\音楽\\曲.mp3\r\n"
                    L"表示範囲= 1\r\n描画間隔= 0\r\n終了操作= 1\r\n",
                    expected));
    EXPECT_EQ(disk.files[files.besideProgram].first, expected);

    // Saved again with every option changed, each line changes in place.
    chosen.display = DisplayOptions{false, true, false};
    ASSERT_EQ(SaveSettings(chosen, files), std::nullopt);
    ASSERT_TRUE(
        WideToCp932(L"[Section]\r\nBGM区分= 2\r\nBGMﾘﾋﾟｰﾄ= 0\r\nBGMﾌｧｲﾙ=D:\\音楽\\曲.mp3\r\n"
                    L"表示範囲= 0\r\n描画間隔= 1\r\n終了操作= 0\r\n",
                    expected));
    EXPECT_EQ(disk.files[files.besideProgram].first, expected);
}

TEST(Settings, TheNewerOfTheTwoFilesIsRead) {
    using Time = std::optional<uint64_t>;  // none: no such file
    // The dates beside the program and per user, and the track read: 1 beside, 2 per user.
    for (const auto& [beside, user, track] : {std::tuple<Time, Time, int>{100, 200, 2},
                                              {300, 200, 1},
                                              {{}, 200, 2},
                                              {100, {}, 1},
                                              {200, 200, 1},
                                              {{}, {}, 0}}) {
        FakeDisk disk;
        const SettingsFiles files = disk.Files();
        if (beside)
            disk.files[files.besideProgram] = {Cp932(L"[Section]\nBGMﾘﾋﾟｰﾄ=1\n"), *beside};
        if (user)
            disk.files[files.perUser] = {Cp932(L"[Section]\nBGMﾘﾋﾟｰﾄ=2\n"), *user};
        EXPECT_EQ(LoadSettings(files).repeatTrack, track)
            << beside.value_or(0) << " " << user.value_or(0);
    }
}

TEST(Settings, ASaveGoesWhereItCanIsReadNextAndNeverReplacesAFileItCouldNotRead) {
    using Problem = std::optional<FileProblem>;
    const Problem ok, large = FileProblem::kTooLarge, busy = FileProblem::kInUse,
                      unreadable = FileProblem::kUnreadable, locked = FileProblem::kUnwritable;
    struct Row {
        Problem besideRead, besideReplace, userRead, userReplace, failure;
        bool perUser;  // the per-user copy was saved, or the failure is about it
    };
    const Row rows[] = {{ok, ok, ok, ok, ok, false},
                        {ok, locked, ok, ok, ok, true},
                        {large, ok, ok, ok, large, false},
                        {unreadable, ok, ok, ok, unreadable, false},
                        {busy, ok, ok, ok, busy, false},
                        {ok, busy, ok, ok, busy, false},
                        {ok, locked, ok, locked, locked, true},
                        {ok, locked, large, ok, large, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        FakeDisk disk;
        const SettingsFiles files = disk.Files();
        // Both copies dated in the future, the one beside the program the later.
        const std::string beside = Cp932(L"[Section]\r\nBGMﾘﾋﾟｰﾄ= 1\r\n");
        const std::string perUser = Cp932(L"[Section]\r\nBGMﾘﾋﾟｰﾄ= 2\r\n");
        disk.files = {{files.besideProgram, {beside, 2000}}, {files.perUser, {perUser, 1000}}};
        disk.readProblems = {{files.besideProgram, row.besideRead}, {files.perUser, row.userRead}};
        disk.replaceProblems = {{files.besideProgram, row.besideReplace},
                                {files.perUser, row.userReplace}};
        Settings chosen;
        chosen.repeatTrack = 7;
        const std::optional<SaveFailure> failure = SaveSettings(chosen, files);
        ASSERT_EQ(failure.has_value(), row.failure.has_value());
        if (failure) {
            EXPECT_EQ(failure->problem, *row.failure);
            EXPECT_EQ(failure->path, row.perUser ? files.perUser : files.besideProgram);
        }
        EXPECT_EQ(disk.files[files.besideProgram].first == beside, failure || row.perUser);
        EXPECT_EQ(disk.files[files.perUser].first == perUser, failure || !row.perUser);
        EXPECT_EQ(disk.folders.size(), row.perUser ? 1u : 0u);
        disk.readProblems.clear();
        EXPECT_EQ(LoadSettings(files).repeatTrack, failure ? 1 : 7);
    }
}

std::string Utf16Le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text)
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

std::string Utf16Be(const std::u16string& text) {
    std::string bytes = Utf16Le(text);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        std::swap(bytes[i], bytes[i + 1]);
    return bytes;
}

TEST(Settings, AFileIsSavedInTheEncodingAndLineBreaksItWasReadIn) {
    struct Row {
        const char* name;
        std::optional<std::string> before;  // none: no file yet
        int16_t kind, repeat;
        const wchar_t* music;
        std::string after;  // once saved with the repeat track set to 7
    };
    const wchar_t* song = L"D:\\音楽\\曲.mp3";
    const wchar_t* outside932 = L"D:\\音楽\\Grüße😀.mp3";
    const Row rows[] = {
        {"code page 932, other lines kept, new lines broken as the first line is",
         Cp932(L"; mine\n[Section]\r\nBGM区分= 2\r\nBGMﾘﾋﾟｰﾄ= 0\r\nBGMﾌｧｲﾙ=D:\\音楽\\曲.mp3\r\n"
               L"[Other]\r\nBGMﾘﾋﾟｰﾄ=x\r\n"),
         2, 0, song,
         Cp932(L"; mine\n[Section]\r\nBGM区分= 2\r\nBGMﾘﾋﾟｰﾄ= 7\r\nBGMﾌｧｲﾙ=D:\\音楽\\曲.mp3\r\n"
               L"表示範囲= 0\n描画間隔= 0\n終了操作= 0\n[Other]\r\nBGMﾘﾋﾟｰﾄ=x\r\n")},
        {"UTF-16LE with its mark",
         Utf16Le(u"[Section]\r\nBGM区分= 2\r\nBGMﾘﾋﾟｰﾄ= 0\r\nBGMﾌｧｲﾙ=D:\\音楽\\Grüße😀.mp3\r\n"), 2,
         0, outside932,
         Utf16Le(u"[Section]\r\nBGM区分= 2\r\nBGMﾘﾋﾟｰﾄ= 7\r\nBGMﾌｧｲﾙ=D:\\音楽\\Grüße😀.mp3\r\n"
                 u"表示範囲= 0\r\n描画間隔= 0\r\n終了操作= 0\r\n")},
        {"UTF-8 with its mark, LF, keys missing",
         "\xEF\xBB\xBF" + std::string(u8"# 設定\n[Section]\nBGM区分=1\n"), 1, 0, L"",
         "\xEF\xBB\xBF" + std::string(u8"# 設定\n[Section]\nBGM区分= 1\nBGMﾘﾋﾟｰﾄ= 7\nBGMﾌｧｲﾙ=\n"
                                      u8"表示範囲= 0\n描画間隔= 0\n終了操作= 0\n")},
        {"UTF-8 holding the keys", u8"[Section]\r\nBGMﾌｧｲﾙ=D:\\音楽\\Grüße😀.mp3\r\nBGM区分= 2\r\n",
         2, 0, outside932,
         u8"[Section]\r\nBGMﾌｧｲﾙ=D:\\音楽\\Grüße😀.mp3\r\nBGM区分= 2\r\nBGMﾘﾋﾟｰﾄ= 7\r\n"
         u8"表示範囲= 0\r\n描画間隔= 0\r\n終了操作= 0\r\n"},
        {"lone CR", Cp932(L"[Section]\rBGM区分= 1\rBGMﾘﾋﾟｰﾄ= 3\r"), 1, 3, L"",
         Cp932(L"[Section]\rBGM区分= 1\rBGMﾘﾋﾟｰﾄ= 7\rBGMﾌｧｲﾙ=\r表示範囲= 0\r描画間隔= 0\r終了操作= "
               L"0\r")},
        {"ASCII only is code page 932", "[Section]\n", 0, 0, L"",
         Cp932(L"[Section]\nBGM区分= 0\nBGMﾘﾋﾟｰﾄ= 7\nBGMﾌｧｲﾙ=\n表示範囲= 0\n描画間隔= 0\n終了操作= "
               L"0\n")},
        {"UTF-16BE with its mark", Utf16Be(u"[Section]\nBGM区分= 1\n"), 1, 0, L"",
         Utf16Be(u"[Section]\nBGM区分= 1\nBGMﾘﾋﾟｰﾄ= 7\nBGMﾌｧｲﾙ=\n表示範囲= 0\n描画間隔= "
                 u"0\n終了操作= 0\n")},
        {"UTF-8 holding only display keys", u8"[Section]\n表示範囲= 1\n", 0, 0, L"",
         u8"[Section]\n表示範囲= 1\nBGM区分= 0\nBGMﾘﾋﾟｰﾄ= 7\nBGMﾌｧｲﾙ=\n描画間隔= 0\n終了操作= 0\n"},
        {"UTF-8 in a comment only", u8"; café\n", 0, 0, L"",
         u8"; café\n[Section]\nBGM区分= 0\nBGMﾘﾋﾟｰﾄ= 7\nBGMﾌｧｲﾙ=\n表示範囲= 0\n描画間隔= "
         u8"0\n終了操作= "
         u8"0\n"},
        {"a new file", std::nullopt, 0, 0, L"",
         Cp932(L"[Section]\r\nBGM区分= 0\r\nBGMﾘﾋﾟｰﾄ= 7\r\nBGMﾌｧｲﾙ=\r\n"
               L"表示範囲= 0\r\n描画間隔= 0\r\n終了操作= 0\r\n")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeDisk disk;
        const SettingsFiles files = disk.Files();
        if (row.before)
            disk.files[files.besideProgram] = {*row.before, 1};
        disk.musicFiles = {song, outside932};
        Settings settings = LoadSettings(files);
        EXPECT_EQ(settings.musicKind, row.kind);
        EXPECT_EQ(settings.repeatTrack, row.repeat);
        EXPECT_EQ(settings.musicFile, row.music);
        EXPECT_EQ(settings.fileEncoding, IniDocument(row.after).Encoding());
        settings.repeatTrack = 7;
        ASSERT_EQ(SaveSettings(settings, files), std::nullopt);
        EXPECT_EQ(disk.files[files.besideProgram].first, row.after);
    }
}

TEST(Settings, KeysAreStoredInCodePage932) {
    struct Row {
        const wchar_t* key;
        std::string bytes;
    };
    const Row rows[] = {
        {kKeyBgmKind, "\x42\x47\x4D\x8B\xE6\x95\xAA"},
        {kKeyBgmRepeat, "\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4"},
        {kKeyBgmFile, "\x42\x47\x4D\xCC\xA7\xB2\xD9"},
        // Second bytes 5C ("\\"), 60 ("`") and 49 ("I"), which must stay as they are.
        {kKeyDisplayArea, "\x95\x5C\x8E\xA6\x94\xCD\x88\xCD"},
        {kKeyFramePacing, "\x95\x60\x89\xE6\x8A\xD4\x8A\x75"},
        {kKeyEndingInput, "\x8F\x49\x97\xB9\x91\x80\x8D\xEC"},
    };
    for (const Row& row : rows) {
        std::string bytes;
        EXPECT_TRUE(WideToCp932(row.key, bytes));
        EXPECT_EQ(bytes, row.bytes);
        EXPECT_EQ(Cp932ToWide(bytes), row.key);
    }
    std::string lossy;
    EXPECT_FALSE(WideToCp932(L"C:\\Musik\\Grüße😀.mp3", lossy));
}

}  // namespace
}  // namespace merovan
