// How values are found, read and written is checked on any bytes against a model
// by fuzz/fuzz_settings_file.cpp (its seeds in fuzz/corpus/settings_file hold each
// rule). Here what it cannot tell: a Big5 trail byte that looks like ASCII.

#include "settings/ini_text.h"

#include <gtest/gtest.h>

using namespace gradecast;

TEST(IniText, TrailBytesOfBig5AreNoBracketsAndNoLetters)
{
    // 乙 is A4 41, 兀 is A4 61, 也 is A4 5D.
    EXPECT_EQ(iniValue("[\xA4\x41]\r\nK=a\r\n", "\xA4\x61", "K"), std::nullopt);
    EXPECT_EQ(iniValue("[G]\r\n\xA4\x41=a\r\n", "G", "\xA4\x61"), std::nullopt);
    EXPECT_EQ(iniValue("[\xA4\x5D]\r\nK=a\r\n", "\xA4\x5D", "K"), "a");
    EXPECT_EQ(iniWithValue("[\xA4\x5D]\r\nK=a\r\n", "\xA4\x5D", "K", "b"), "[\xA4\x5D]\r\nK=b\r\n");
}
