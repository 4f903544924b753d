#include "settings/ini_text.h"

#include <gtest/gtest.h>

namespace merovan {
namespace {

// The stored key names in code page 932.
const std::string kKind = "BGM\x8B\xE6\x95\xAA";        // BGM区分
const std::string kRepeat = "BGM\xD8\xCB\xDF\xB0\xC4";  // BGMﾘﾋﾟｰﾄ
const std::string kFile = "BGM\xCC\xA7\xB2\xD9";        // BGMﾌｧｲﾙ
const std::string kSection = "Section";

TEST(IniText, WritingIntoNothingMakesTheStoredLayout) {
    std::string file;
    file = IniWrite(file, kSection, kKind, " 2");
    file = IniWrite(file, kSection, kRepeat, " 0");
    file = IniWrite(file, kSection, kFile, "C:\\Music\\song.mp3");
    EXPECT_EQ(file,
              "[Section]\r\n"
              "BGM\x8B\xE6\x95\xAA= 2\r\n"
              "BGM\xD8\xCB\xDF\xB0\xC4= 0\r\n"
              "BGM\xCC\xA7\xB2\xD9=C:\\Music\\song.mp3\r\n");
    EXPECT_EQ(IniRead(file, kSection, kKind), "2");  // values are read trimmed
    EXPECT_EQ(IniRead(file, kSection, kFile), "C:\\Music\\song.mp3");
}

TEST(IniText, RewritingAKeyKeepsEveryOtherByte) {
    const std::string file =
        "; written by hand\n"
        "[Other]\r\n"
        "BGM\x8B\xE6\x95\xAA=9\r\n"
        "\r\n"
        "[section]\r\n"
        "  bgm\x8B\xE6\x95\xAA  =  1 \r\n"
        "Unknown=keep me\r\n"
        "\r\n"
        "[Last]\r\n"
        "x=y";
    const std::string changed = IniWrite(file, kSection, kKind, "-1");
    EXPECT_EQ(changed,
              "; written by hand\n"
              "[Other]\r\n"
              "BGM\x8B\xE6\x95\xAA=9\r\n"
              "\r\n"
              "[section]\r\n"
              "bgm\x8B\xE6\x95\xAA=-1\r\n"
              "Unknown=keep me\r\n"
              "\r\n"
              "[Last]\r\n"
              "x=y");
    // A new key goes after the section's last key, before its blank line.
    const std::string added = IniWrite(changed, kSection, kRepeat, " 5");
    EXPECT_EQ(added.substr(0, added.find("[Last]")),
              "; written by hand\n"
              "[Other]\r\n"
              "BGM\x8B\xE6\x95\xAA=9\r\n"
              "\r\n"
              "[section]\r\n"
              "bgm\x8B\xE6\x95\xAA=-1\r\n"
              "Unknown=keep me\r\n"
              "BGM\xD8\xCB\xDF\xB0\xC4= 5\r\n"
              "\r\n");
    // A missing section is added at the end, after a line break the last line lacked.
    EXPECT_EQ(IniWrite("x=y", "New", "k", "v"), "x=y\r\n[New]\r\nk=v\r\n");
    // A section whose last line has no break.
    EXPECT_EQ(IniWrite("[Section]\r\na=1", kSection, "b", "2"), "[Section]\r\na=1\r\nb=2\r\n");
    EXPECT_EQ(IniWrite("[Section]\r\na=1\r", kSection, "b", "2"), "[Section]\r\na=1\r\r\nb=2\r\n");
}

TEST(IniText, ReadingFollowsTheProfileRules) {
    const std::string file =
        "[Section]\n"
        "quoted=\"  spaced  \"\n"
        "single='x'\n"
        "lonequote=\"abc\n"
        "empty=\n"
        "novalue\n"
        "\tTabbed\t=\tvalue\t\n"
        "dup=first\n"
        "dup=second\n"
        "[ SECTION ]\n"
        "later=ignored\n"
        "[Other]\n"
        "BGM\x8B\xE6\x95\xAA=other\n";
    struct Row {
        const char* section;
        std::string key;
        std::string value;
    };
    const Row rows[] = {
        {"Section", "quoted", "  spaced  "},  // one pair of quotes stripped, inside kept
        {"section", "SINGLE", "x"},
        {"Section", "lonequote", "\"abc"},
        {"Section", "empty", ""},
        {"Section", "novalue", ""},
        {"Section", "tabbed", "value"},
        {"Section", "dup", "first"},
        {"Section", "later", ""},  // only the first matching section counts
        {"Section", kKind, ""},
        {"Other", kKind, "other"},
        {"Missing", "x", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IniRead(file, row.section, row.key), row.value) << row.section << "/" << row.key;
    }
    EXPECT_EQ(IniRead("", kSection, kKind), "");
}

TEST(IniText, DoubleByteNamesAreComparedExactly) {
    // 0x83 0x41 is ア; folding the trail byte 'A' to 'a' would wrongly match 0x83 0x61.
    const std::string file = "[S]\r\n\x83\x61=wrong\r\n\x83\x41=right\r\n";
    EXPECT_EQ(IniRead(file, "S", "\x83\x41"), "right");
    EXPECT_EQ(IniRead(file, "s", "\x83\x61"), "wrong");
}

TEST(IniText, LongValuesAreCutAt255Bytes) {
    const std::string longValue(300, 'a');
    const std::string file = IniWrite("", kSection, kFile, longValue);
    EXPECT_EQ(IniRead(file, kSection, kFile), std::string(255, 'a'));
    // Never half a double-byte character: 254 single bytes then 区 (2 bytes) gives 254.
    const std::string mixed = std::string(254, 'b') + "\x8B\xE6" + "tail";
    EXPECT_EQ(IniRead(IniWrite("", kSection, kFile, mixed), kSection, kFile),
              std::string(254, 'b'));
    const std::string exact = std::string(253, 'c') + "\x8B\xE6";
    EXPECT_EQ(IniRead(IniWrite("", kSection, kFile, exact), kSection, kFile), exact);
}

}  // namespace
}  // namespace merovan
