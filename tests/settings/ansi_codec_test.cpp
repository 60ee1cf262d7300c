#include "settings/ansi_codec.h"

#include <gtest/gtest.h>

using namespace gradecast;

TEST(AnsiCodec, ConvertsBetweenUnicodeAndBig5)
{
    struct Case {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"", ""},
        {u"http://school.example/score?a=1", "http://school.example/score?a=1"},
        {u"缺", "\xAF\xCA"},
        {u"缺考", "\xAF\xCA\xA6\xD2"},
        {u"A缺 b", "A\xAF\xCA b"},
        // Where code page 950 differs from plain Big5: the euro, the hyphenation
        // point and the ETEN box drawing row.
        {u"\u20AC", "\xA3\xE1"},
        {u"\u2027", "\xA1\x45"},
        {u"\u2593", "\xF9\xFE"},
        // Trail bytes that look like ASCII "\", "]" and "A".
        {u"功也乙", "\xA5\x5C\xA4\x5D\xA4\x41"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(AnsiFromUnicode(c.text), c.bytes);
        EXPECT_EQ(UnicodeFromAnsi(c.bytes), c.text);
    }
}

TEST(AnsiCodec, RoundTripsUserDefinedCharactersLikeWindows)
{
    struct Case {
        char16_t character;
        std::string bytes;
    };
    const Case cases[] = {
        {u'\uE000', "\xFA\x40"}, {u'\uE03F', "\xFA\xA1"}, {u'\uE310', "\xFE\xFE"},
        {u'\uE311', "\x8E\x40"}, {u'\uEEB7', "\xA0\xFE"}, {u'\uEEB8', "\x81\x40"},
        {u'\uF6B0', "\x8D\xFE"}, {u'\uF6B1', "\xC6\xA1"}, {u'\uF848', "\xC8\xFE"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(AnsiFromUnicode(std::u16string(1, c.character)), c.bytes);
        EXPECT_EQ(UnicodeFromAnsi(c.bytes), std::u16string(1, c.character));
    }
}

TEST(AnsiCodec, StoresWhatBig5CannotHoldAsQuestionMark)
{
    EXPECT_EQ(AnsiFromUnicode(u"caf\u00E9"), "caf?");
    EXPECT_EQ(AnsiFromUnicode(u"\u306E\uD55C"), "??");  // hiragana, hangul
    EXPECT_EQ(AnsiFromUnicode(u"a\U0001F600b"), "a?b"); // one "?" for a surrogate pair
    const std::u16string loneSurrogates{u'a', char16_t(0xD800), u'b', char16_t(0xDC00)};
    EXPECT_EQ(AnsiFromUnicode(loneSurrogates), "a?b?");
    EXPECT_EQ(AnsiFromUnicode(u"\u00E9缺\u00E9"), "?\xAF\xCA?");
}

TEST(AnsiCodec, DecodesInvalidBytesAsReplacementCharacter)
{
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"\xFF", u"\uFFFD"},
        {"a\xA4", u"a\uFFFD"},                                        // lead byte at the end
        {std::string("\xA4\0 ", 3), std::u16string(u"\uFFFD\0 ", 3)}, // the zero survives
        {"\xA4\nb", u"\uFFFD\nb"},                   // no trail byte: only the lead goes
        {std::string("\xA3\xFE") + "a", u"\uFFFDa"}, // a pair with no character: one U+FFFD
        {"\xAF\xCA\xFF\xAF\xCA", u"缺\uFFFD缺"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(UnicodeFromAnsi(c.bytes), c.text);
}

TEST(AnsiCodec, CutsOnlyBetweenCharacters)
{
    struct Case {
        std::string bytes;
        std::size_t limit;
        std::size_t length;
    };
    const Case cases[] = {
        {"abc", 5, 3},
        {"abc", 2, 2},
        {"\xAF\xCA\xAF\xCA", 4, 4},
        {"\xAF\xCA\xAF\xCA", 3, 2},
        {"a\xAF\xCA", 2, 1},
        {"a\xAF\xCA", 3, 3},
        {"\xAF\n\xAF\xCA", 2, 2}, // a lead byte without trail is a character of its own
        {"\xAF\xCA", 0, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ansiCutLength(c.bytes, c.limit), c.length) << c.bytes << " " << c.limit;
}
