#include "settings/ini_text.h"

#include <gtest/gtest.h>

#include "settings/utf_text.h"

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
              "BGM\xD8\xCB\xDF\xB0\xC4= 5\n"  // ended as the file's first line is
              "\r\n");
    // A missing section is added at the end, after a line break the last line lacked.
    EXPECT_EQ(IniWrite("x=y", "New", "k", "v"), "x=y\r\n[New]\r\nk=v\r\n");
    // A section whose last line has no break.
    EXPECT_EQ(IniWrite("[Section]\r\na=1", kSection, "b", "2"), "[Section]\r\na=1\r\nb=2\r\n");
}

TEST(IniText, ALoneCrEndsALineAndNewLinesEndLikeTheFirst) {
    struct Row {
        const char *file, *expected;
    };
    const Row rows[] = {
        {"[Section]\ra=1\r", "[Section]\ra=1\rb=2\r"},
        {"[Section]\ra=1", "[Section]\ra=1\rb=2\r"},
        {"[Section]\na=1\r\n[X]\n", "[Section]\na=1\r\nb=2\n[X]\n"},
        {"[Section]\r\na=1\r", "[Section]\r\na=1\rb=2\r\n"},
        {"[Section]\r\rb=old\r", "[Section]\r\rb=2\r"},
        {"x=y\r", "x=y\r[Section]\rb=2\r"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IniWrite(row.file, kSection, "b", "2"), row.expected) << row.file;
    }
    EXPECT_EQ(IniRead("[Section]\ra=1\rb=2", kSection, "b"), "2");
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

TEST(IniText, OtherEncodingsCutAt255Utf16UnitsOnACharacterBoundary) {
    // 区 is 3 bytes of UTF-8 but one unit: 255 of them are kept whole.
    std::string japanese;
    for (int i = 0; i < 256; ++i)
        japanese += "\xE5\x8C\xBA";
    const std::string utf8 = IniWrite("", kSection, "k", japanese, IniCharset::kUtf8);
    EXPECT_EQ(IniRead(utf8, kSection, "k", IniCharset::kUtf8), japanese.substr(0, 255 * 3));
    // 😀 is two units: after 254 others it does not fit.
    const std::string emoji = std::string(254, 'a') + "\xF0\x9F\x98\x80";
    EXPECT_EQ(IniRead(IniWrite("", kSection, "k", emoji, IniCharset::kUtf8), kSection, "k",
                      IniCharset::kUtf8),
              std::string(254, 'a'));
    const std::u16string units = std::u16string(254, u'a') + u"\U0001F600";
    EXPECT_EQ(IniRead(IniWrite(u"", u"Section", u"k", units), u"SECTION", u"K"),
              std::u16string(254, u'a'));
    // UTF-8 names match whole: a lead byte never folds the byte after it.
    EXPECT_EQ(IniRead("[S]\n\xE5\x8C\xBA=1\n", "s", "\xE5\x8C\xBA", IniCharset::kUtf8), "1");
}

TEST(UtfText, MalformedUtf8IsToldAndWellFormedTextRoundTrips) {
    struct Row {
        std::string bytes;
        bool wellFormed;
        std::u16string text;
    };
    const Row rows[] = {
        {"BGM\xE5\x8C\xBA", true, u"BGM区"},
        {"\xF0\x9F\x98\x80!", true, u"😀!"},
        {"\xC3\xBC", true, u"ü"},
        {"BGM\x8B\xE6\x95\xAA", false, u"BGM\uFFFD敪"},            // code page 932
        {"\xC0\x80", false, u"\uFFFD\uFFFD"},                      // overlong
        {"\xED\xA0\x80", false, u"\uFFFD\uFFFD\uFFFD"},            // a surrogate
        {"\xF4\x90\x80\x80", false, u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xE5\x8C"
         "a",
         false,
         u"\uFFFD\uFFFD"
         "a"},  // cut short
    };
    for (const Row& row : rows) {
        std::u16string text;
        EXPECT_EQ(Utf8ToUtf16(row.bytes, text), row.wellFormed) << row.bytes;
        EXPECT_EQ(text, row.text) << row.bytes;
        if (row.wellFormed) {
            EXPECT_EQ(Utf16ToUtf8(text), row.bytes);
            EXPECT_EQ(ToUtf16(FromUtf16(text)), text);
        }
    }
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', 0xD800, u'b'}),
              "a\xEF\xBF\xBD"
              "b");  // a lone surrogate
}

}  // namespace
}  // namespace merovan
