#include "frontend/command_line.h"

#include <gtest/gtest.h>

#include "frontend/renderer_switches.h"
#include "renderer/switches.h"

namespace merovan {
namespace {

TEST(CommandLine, ArgumentsFollowTheProgramPath) {
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Windows\\メロヴァン.scr\" /s"), L"/s");
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\x\\メロヴァン.scr\"   /p 1234"), L"/p 1234");
    EXPECT_EQ(ArgumentsOf(L"C:\\WINDOWS\\MEROVA~1.SCR /c:5678"), L"/c:5678");
    EXPECT_EQ(ArgumentsOf(L"\"C:\\a b\\m.scr\""), L"");
    EXPECT_EQ(ArgumentsOf(L"m.scr"), L"");
    EXPECT_EQ(ArgumentsOf(L""), L"");
    EXPECT_EQ(ArgumentsOf(L"\"unclosed /s"), L"");
}

TEST(CommandLine, OnlyTheSecondCharacterDecides) {
    struct Row {
        const wchar_t* arguments;
        Mode mode;
    };
    const Row rows[] = {
        {L"/S", Mode::kRun},          {L"/s", Mode::kRun},           {L"-s", Mode::kRun},
        {L"xs", Mode::kRun},          {L"/sanything", Mode::kRun},   {L"", Mode::kSettings},
        {L"/c", Mode::kSettings},     {L"/c:1234", Mode::kSettings}, {L"-C 99", Mode::kSettings},
        {L"/p 1234", Mode::kPreview}, {L"/P 1234", Mode::kPreview},  {L"/p:1234", Mode::kPreview},
        {L"/", Mode::kEnd},           {L"/a", Mode::kEnd},           {L"x", Mode::kEnd},
        {L" s", Mode::kRun},          {L"/ｓ", Mode::kEnd},          {L"s/", Mode::kEnd},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ModeOf(row.arguments), row.mode) << '"' << row.arguments << '"';
    }
}

TEST(CommandLine, PreviewWindowNumberFromTheFourthCharacter) {
    struct Row {
        const wchar_t* arguments;
        std::optional<int32_t> number;
    };
    const Row rows[] = {
        {L"/p 1234", 1234},
        {L"/p:1234", 1234},
        {L"/P 1234", 1234},
        {L"/p   98765", 98765},
        {L"/p 1 2", 1},         // reading stops at what is not a digit
        {L"/p 1234abc", 1234},
        {L"/p 12.5", 12},
        {L"/p -5", -5},
        {L"/p &H1F", std::nullopt},  // Windows passes the handle in decimal
        {L"/p 2147483647", 2147483647},
        {L"/p 2147483648", std::nullopt},
        {L"/p -2147483648", INT32_MIN},
        {L"/p 99999999999999999999", std::nullopt},
        {L"/p", std::nullopt},
        {L"/p ", std::nullopt},
        {L"/p abc", std::nullopt},
        {L"/p 0", 0},
        {L"/p -", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PreviewWindowNumber(row.arguments), row.number) << '"' << row.arguments << '"';
    }
}

// The switches the run puts on the renderer's command line are the ones the renderer reads,
// and so are the pictures the run wrote, blanks in their paths or none written.
TEST(RendererSwitches, TheRendererReadsBackEveryChoice) {
    const WrittenSnapshots writtenRows[] = {
        {L"C:\\Merovan1.bmp", L"C:\\ﾃﾝﾎﾟ ﾗﾘｰ /paced\\Merovan2.bmp"},
        {std::nullopt, L"C:\\Merovan2.bmp"},
        {},
    };
    for (const WrittenSnapshots& written : writtenRows) {
        for (int bits = 0; bits < 8; ++bits) {
            const DisplayOptions chosen{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
            const RendererSwitches read = ParseRendererSwitches(
                L"\"C:\\ﾃｽﾄ ﾌｫﾙﾀﾞ\\メロヴァン.dll\" " + RendererArguments(chosen, written));
            EXPECT_EQ(read.everyMonitor, chosen.everyMonitor) << bits;
            EXPECT_EQ(read.pacedFrames, chosen.pacedFrames) << bits;
            EXPECT_EQ(read.anyInputEnds, chosen.anyInputEnds) << bits;
            ASSERT_TRUE(read.snapshots) << bits;
            EXPECT_EQ(read.snapshots->sheet, written.sheet.value_or(L"")) << bits;
            EXPECT_EQ(read.snapshots->background, written.background.value_or(L"")) << bits;
        }
    }
}

TEST(Snapshots, EachIsWrittenAtTheFirstPlaceThatTakesIt) {
    struct Row {
        const char* name;
        const wchar_t* tempFolder;
        uint32_t rootError, tempError;
        std::optional<std::wstring> path;
        std::wstring refusals;
    };
    const Row rows[] = {
        {"root of C:", L"T:\\tmp\\", 0, 0, L"C:\\Merovan2.bmp", L""},
        {"root refused", L"T:\\tmp", 5, 0, L"T:\\tmp\\Merovan2.bmp", L"C:\\Merovan2.bmp (error 5)"},
        {"nowhere", L"T:\\tmp\\", 5, 112, std::nullopt,
         L"C:\\Merovan2.bmp (error 5), T:\\tmp\\Merovan2.bmp (error 112)"},
        {"no temporary folder", L"", 5, 0, std::nullopt, L"C:\\Merovan2.bmp (error 5)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::wstring> tried;
        const SnapshotWrite written =
            WriteSnapshot(2, row.tempFolder, [&](const std::wstring& path) {
                tried.push_back(path);
                return tried.size() == 1 ? row.rootError : row.tempError;
            });
        EXPECT_EQ(written.path, row.path);
        EXPECT_EQ(written.refusals, row.refusals);
        EXPECT_EQ(tried.front(), L"C:\\Merovan2.bmp");
    }
}

}  // namespace
}  // namespace merovan
