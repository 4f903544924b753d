#include "forms/mnemonic.h"

#include <gtest/gtest.h>

namespace forms {
namespace {

TEST(Mnemonic, LetterPlainTextAndShortcutOfEachCaption) {
    struct Row {
        const wchar_t* caption;
        wchar_t letter;
        const wchar_t* plain;
        const wchar_t* shortcut;
    };
    const Row rows[] = {
        {L"&Settings", L'S', L"Settings", L"Alt+S"},
        {L"Audio C&d", L'D', L"Audio Cd", L"Alt+D"},  // lower case answers as upper
        {L"Save && &quit", L'Q', L"Save & quit", L"Alt+Q"},
        {L"R&&D", 0, L"R&D", L""},
        {L"設定", 0, L"設定", L""},
        {L"ends with &", 0, L"ends with &", L""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MnemonicOf(row.caption), row.letter) << row.caption;
        EXPECT_EQ(WithoutMnemonic(row.caption), row.plain) << row.caption;
        EXPECT_EQ(MnemonicShortcut(row.caption), row.shortcut) << row.caption;
    }
}

}  // namespace
}  // namespace forms
