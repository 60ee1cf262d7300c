// Where a value may be cut is checked against a model of Big5 by
// fuzz/fuzz_settings_file.cpp; here the conversion itself.

#include "settings/ansi_codec.h"

#include <gtest/gtest.h>

using namespace gradecast;

TEST(AnsiCodec, ConvertsBetweenUnicodeAndBig5BothWays)
{
    const std::pair<std::u16string, std::string> cases[] = {
        {u"A缺考 b", "A\xAF\xCA\xA6\xD2 b"},
        // Where code page 950 differs from plain Big5: the euro and the ETEN box drawing row.
        {u"\u20AC", "\xA3\xE1"}, {u"\u2593", "\xF9\xFE"},
        // Trail bytes that look like ASCII "\", "]" and "A".
        {u"功也乙", "\xA5\x5C\xA4\x5D\xA4\x41"},
        // The user-defined rows as Windows maps them to the private use area:
        // the start of each area, a trail byte past the gap 7F..A0, and ETEN rows.
        {u"\uE000", "\xFA\x40"}, {u"\uE03F", "\xFA\xA1"}, {u"\uE311", "\x8E\x40"},
        {u"\uEEB8", "\x81\x40"}, {u"\uF6B0", "\x8D\xFE"}, {u"\uF6B1", "\xC6\xA1"},
    };
    for (const auto &[text, bytes] : cases) {
        EXPECT_EQ(AnsiFromUnicode(text), bytes) << bytes;
        EXPECT_EQ(UnicodeFromAnsi(bytes), text) << bytes;
    }
}

TEST(AnsiCodec, WhatBig5CannotHoldIsAQuestionMarkInvalidBytesAReplacementCharacter)
{
    EXPECT_EQ(AnsiFromUnicode(u"caf\u00E9缺"), "caf?\xAF\xCA");
    EXPECT_EQ(AnsiFromUnicode(u"a\U0001F600b"), "a?b"); // one "?" for a surrogate pair
    const std::u16string loneSurrogates{u'a', char16_t(0xD800), u'b', char16_t(0xDC00)};
    EXPECT_EQ(AnsiFromUnicode(loneSurrogates), "a?b?");
    const std::pair<std::string, std::u16string> cases[] = {
        {"\xAF\xCA\xFF", u"缺\uFFFD"},
        {"a\xA4", u"a\uFFFD"},                                        // lead byte at the end
        {std::string("\xA4\0 ", 3), std::u16string(u"\uFFFD\0 ", 3)}, // the zero survives
        {"\xA4\nb", u"\uFFFD\nb"},                   // no trail byte: only the lead goes
        {std::string("\xA3\xFE") + "a", u"\uFFFDa"}, // a pair with no character: one U+FFFD
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(UnicodeFromAnsi(bytes), text) << bytes;
}
