#include "strings/translate.h"

#include <gtest/gtest.h>

using zorbalin::FormatText;

TEST(FormatText, PutsEachValueWhereItsNumberStandsInAnyOrder) {
    EXPECT_EQ(FormatText("Már csak %1 kavics maradt.", {"7"}), "Már csak 7 kavics maradt.");
    EXPECT_EQ(FormatText("%2 of %1, %2", {"a", "b"}), "b of a, b");
}

TEST(FormatText, LeavesPercentSignsWithoutAValueAlone) {
    EXPECT_EQ(FormatText("100% %3 %x %", {"a"}), "100% %3 %x %");
}
