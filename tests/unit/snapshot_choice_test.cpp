#include <cwchar>

#include <gtest/gtest.h>

#include "common/newest_copy.h"
#include "common/program_names.h"

namespace merovan {
namespace {

constexpr wchar_t kRoot[] = L"C:\\Merovan1.bmp";
constexpr wchar_t kTemp[] = L"C:\\Users\\さくら\\AppData\\Local\\Temp\\Merovan1.bmp";

TEST(SnapshotChoice, TakesTheCopyWrittenLast) {
    struct Row {
        const char* name;
        bool rootExists;
        uint64_t rootTime;
        bool tempExists;
        uint64_t tempTime;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {"only the root copy", true, 100, false, 0, kRoot},
        {"only the temporary copy", false, 0, true, 100, kTemp},
        {"root newer", true, 200, true, 100, kRoot},
        {"temporary newer", true, 100, true, 200, kTemp},
        {"same time: the root copy", true, 100, true, 100, kRoot},
        {"a missing file's time does not count", false, 900, true, 100, kTemp},
        {"neither: the root path, which then fails to open", false, 0, false, 0, kRoot},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<FileCopy<std::wstring>> copies = {{kRoot, row.rootExists, row.rootTime},
                                                            {kTemp, row.tempExists, row.tempTime}};
        EXPECT_EQ(NewestCopy(copies), row.expected);
    }
    EXPECT_EQ(NewestCopy<std::wstring>({}), L"");
}

// GetTempPathW gives the length written, or the size needed when the buffer is too small,
// or 0 when it fails.
TEST(SnapshotFolders, TheTemporaryFolderIsTakenOnlyWhenItFits) {
    struct Row {
        const wchar_t* folder;  // what the fake writes; nullptr: it fails
        unsigned long length;   // what it returns
        std::wstring expected;
    };
    const Row rows[] = {
        {L"C:\\Temp\\", 8, L"C:\\Temp\\"},
        {nullptr, 0, L""},
        {L"", 300, L""},  // longer than a path may be
    };
    for (const Row& row : rows) {
        const auto fake = [&row](unsigned long size, wchar_t* buffer) {
            if (row.folder && std::wcslen(row.folder) < size)
                std::wcscpy(buffer, row.folder);
            return row.length;
        };
        EXPECT_EQ(UserTempFolder(fake), row.expected);
        EXPECT_EQ(SnapshotTempPath(2, UserTempFolder(fake)),
                  row.expected.empty() ? L"" : row.expected + L"Merovan2.bmp");
    }
    EXPECT_EQ(SnapshotTempPath(1, L"D:\\tmp"), L"D:\\tmp\\Merovan1.bmp");
}

}  // namespace
}  // namespace merovan
