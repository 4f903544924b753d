#include "renderer/snapshot_choice.h"

#include <gtest/gtest.h>

namespace merovan {
namespace {

constexpr char kRoot[] = "C:\\Merovan1.BMP";
constexpr char kTemp[] = "C:\\Users\\さくら\\AppData\\Local\\Temp\\Merovan1.bmp";

TEST(SnapshotChoice, TakesTheCopyWrittenLast) {
    struct Row {
        const char* name;
        bool rootExists;
        uint64_t rootTime;
        bool tempExists;
        uint64_t tempTime;
        const char* expected;
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
        const std::vector<SnapshotCandidate> candidates = {{kRoot, row.rootExists, row.rootTime},
                                                           {kTemp, row.tempExists, row.tempTime}};
        EXPECT_EQ(ChooseSnapshotCopy(candidates), row.expected);
    }
}

TEST(SnapshotChoice, NoTemporaryFolderLeavesTheRootPath) {
    EXPECT_EQ(ChooseSnapshotCopy({{kRoot, false, 0}}), kRoot);
    EXPECT_EQ(ChooseSnapshotCopy({}), "");
}

}  // namespace
}  // namespace merovan
