#include "app/settings/ini_text.h"

#include <gtest/gtest.h>

namespace zorbalin {
namespace {

TEST(ParseIniInteger, AcceptsOneSignAndDecimalOrPrefixedHexadecimal) {
    EXPECT_EQ(ParseIniInteger("5"), 5);
    EXPECT_EQ(ParseIniInteger("-2000"), -2000);
    EXPECT_EQ(ParseIniInteger("+7"), 7);
    EXPECT_EQ(ParseIniInteger("  12  "), 12);
    EXPECT_EQ(ParseIniInteger("007"), 7);
    EXPECT_EQ(ParseIniInteger("0x5"), 5);
    EXPECT_EQ(ParseIniInteger("0X1f"), 31);
    EXPECT_EQ(ParseIniInteger("$5"), 5);
    EXPECT_EQ(ParseIniInteger("x5"), 5);
    EXPECT_EQ(ParseIniInteger("XaB"), 171);
    EXPECT_EQ(ParseIniInteger("-$10"), -16);
    EXPECT_EQ(ParseIniInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseIniInteger("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseIniInteger("0x7FFFFFFF"), 2147483647);
    EXPECT_EQ(ParseIniInteger("0000000000000000000000042"), 42);
}

TEST(ParseIniInteger, RejectsEverythingElse) {
    for (const char* text : {"", "   ", "abc", "5x", "0x", "$", "x", "-", "+-5", "--5", "- 5",
                             "5 5", "1.5", "0x5g", "$$5", "0xx5", "12a", "\"5\"", "5;"})
        EXPECT_FALSE(ParseIniInteger(text).has_value()) << '"' << text << '"';
}

TEST(ParseIniInteger, RejectsNumbersBeyondThe32BitRange) {
    for (const char* text : {"2147483648", "-2147483649", "0x80000000", "0xFFFFFFFF",
                             "99999999999999999999999999", "$100000000"})
        EXPECT_FALSE(ParseIniInteger(text).has_value()) << text;
}

TEST(ReadIniValue, MatchesNamesWithoutCaseAndIgnoresSurroundingSpace) {
    const std::string text = "; comment\n"
                             "Hard=1\n" // before any section: belongs to none
                             "[ screen ]\n"
                             "  LEFT =  -2000  \n"
                             "[GAME]\r\n"
                             "hard\t=\t5\r\n";
    EXPECT_EQ(ReadIniValue(text, "Screen", "Left"), "-2000");
    EXPECT_EQ(ReadIniValue(text, "Game", "Hard"), "5");
    EXPECT_EQ(ReadIniValue(text, "Screen", "Hard"), std::nullopt);
    EXPECT_EQ(ReadIniValue(text, "Screen", "Top"), std::nullopt);
    EXPECT_EQ(ReadIniValue(text, "Window", "Left"), std::nullopt);
}

TEST(ReadIniValue, FirstKeyOfTheSectionsOfOneNameWins) {
    const std::string text =
        "[Game]\nOther=1\n[Screen]\nHard=9\n[game]\nHard=3\nHard=4\n[Game]\nHard=5\n";
    EXPECT_EQ(ReadIniValue(text, "Game", "Hard"), "3");
    EXPECT_EQ(ReadIniInteger(text, "Game", "Hard", 0), 3);
}

TEST(ReadIniValue, OddLinesAreNotSectionsOrKeys) {
    // An unclosed bracket opens no section; a commented key is another key.
    const std::string text = "[Game]\n[Screen\n;Hard=3\nHard = \nLeft\n=7\n";
    EXPECT_EQ(ReadIniValue(text, "Game", "Hard"), "");
    EXPECT_EQ(ReadIniInteger(text, "Game", "Hard", 4), 4);
    EXPECT_EQ(ReadIniValue(text, "Screen", "Hard"), std::nullopt);
    EXPECT_EQ(ReadIniValue(text, "Game", "Left"), std::nullopt);
}

TEST(ReadIniValue, LastLineWithoutLineEndAndNulBytes) {
    EXPECT_EQ(ReadIniValue("[Game]\nHard=5", "Game", "Hard"), "5");
    const std::string withNul("[Game]\nHard=5\0\nTop=3\n", 20);
    EXPECT_EQ(ReadIniInteger(withNul, "Game", "Hard", 4), 4);
    EXPECT_EQ(ReadIniInteger(withNul, "Game", "Top", 0), 3);
}

TEST(WriteIniValue, FirstWritesBuildScreenThenGame) {
    std::string text = WriteIniValue("", "Screen", "Left", "10");
    text = WriteIniValue(text, "Screen", "Top", "-5");
    text = WriteIniValue(text, "Game", "Hard", "4");
    EXPECT_EQ(text, "[Screen]\nLeft=10\nTop=-5\n\n[Game]\nHard=4\n");
}

TEST(WriteIniValue, ReplacesTheValueWhereItStandsAndKeepsEveryOtherByte) {
    const std::string text =
        "; my settings\n[screen]\n  left = 7 ; old\nTop=3\n\n[Other]\nx=1\n[Game]\nhard=\n";
    EXPECT_EQ(WriteIniValue(text, "Screen", "Left", "-2000"),
              "; my settings\n[screen]\n  left = -2000\nTop=3\n\n[Other]\nx=1\n[Game]\nhard=\n");
    EXPECT_EQ(WriteIniValue(text, "Game", "Hard", "5"),
              "; my settings\n[screen]\n  left = 7 ; old\nTop=3\n\n[Other]\nx=1\n[Game]\nhard=5\n");
}

TEST(WriteIniValue, AddsAMissingKeyAfterTheLastLineOfItsSection) {
    const std::string text = "[Screen]\nLeft=1\n; note\n\n\n[Game]\nHard=3\n";
    EXPECT_EQ(WriteIniValue(text, "Screen", "Top", "2"),
              "[Screen]\nLeft=1\n; note\nTop=2\n\n\n[Game]\nHard=3\n");
    EXPECT_EQ(WriteIniValue("[Game]", "Game", "Hard", "5"), "[Game]\nHard=5\n");
    EXPECT_EQ(WriteIniValue("[Game]\nx=1", "Game", "Hard", "5"), "[Game]\nx=1\nHard=5\n");
}

TEST(WriteIniValue, AddsAMissingSectionAtTheEnd) {
    EXPECT_EQ(WriteIniValue("x=1", "Game", "Hard", "5"), "x=1\n\n[Game]\nHard=5\n");
    EXPECT_EQ(WriteIniValue("[A]\nx=1\n\n", "Game", "Hard", "5"), "[A]\nx=1\n\n[Game]\nHard=5\n");
    EXPECT_EQ(WriteIniValue("  \n", "Game", "Hard", "5"), "  \n[Game]\nHard=5\n");
}

TEST(WriteIniValue, KeepsCrLfLineEnds) {
    const std::string text = "[Screen]\r\nLeft=1\r\n";
    std::string written = WriteIniValue(text, "Screen", "Left", "20");
    written = WriteIniValue(written, "Screen", "Top", "30");
    written = WriteIniValue(written, "Game", "Hard", "3");
    EXPECT_EQ(written, "[Screen]\r\nLeft=20\r\nTop=30\r\n\r\n[Game]\r\nHard=3\r\n");
}

TEST(WriteIniValue, WritesTheKeyThatReadingFinds) {
    // Reading and writing must agree on which line is the key, or a write
    // would not show on the next read.
    const std::string text = "[game]\nHard=abc\n[Game]\nHard=3\n";
    std::string written = WriteIniValue(text, "GAME", "HARD", "5");
    EXPECT_EQ(written, "[game]\nHard=5\n[Game]\nHard=3\n");
    EXPECT_EQ(ReadIniInteger(written, "Game", "Hard", 0), 5);
}

} // namespace
} // namespace zorbalin
