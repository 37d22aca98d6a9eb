#include "strings/fields.h"

#include <gtest/gtest.h>

using zorbalin::GetField;

TEST(GetField, ReadsColumnAndRowFromCellNamesAndKeys) {
    EXPECT_EQ(GetField("i", "i18i9", 2), "18");
    EXPECT_EQ(GetField("i", "i18i9", 3), "9");
    EXPECT_EQ(GetField("i", "i18i9", 1), "");
    EXPECT_EQ(GetField("i", "18i9", 1), "18");
    EXPECT_EQ(GetField("i", "5i3", 2), "3");
    EXPECT_EQ(GetField("i", "5i3", 3), "");
}

TEST(GetField, EverySeparatorCharacterEndsAFieldAndEmptyFieldsCount) {
    EXPECT_EQ(GetField(",;", "a,b;c", 3), "c");
    EXPECT_EQ(GetField(",", "a,,c", 2), "");
    EXPECT_EQ(GetField(",", "a,,c", 3), "c");
    EXPECT_EQ(GetField("i", "I5i3", 1), "I5"); // case-sensitive
}

TEST(GetField, IndexOutsideTheFieldsGivesEmpty) {
    EXPECT_EQ(GetField("i", "5i3", 0), "");
    EXPECT_EQ(GetField("i", "5i3", -1), "");
    EXPECT_EQ(GetField("i", "", 1), "");
    EXPECT_EQ(GetField("", "abc", 1), "abc");
}
