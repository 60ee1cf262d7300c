#include "platform/key_mapping.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gradecast {
namespace {

struct Expected {
    std::u16string keys;
    int key;
    Qt::KeyboardModifiers modifiers;
    std::u16string text;
};

void expectKeys(const std::vector<Expected> &cases)
{
    for (const Expected &c : cases) {
        const std::optional<KeyStroke> stroke = keyStrokeFor(c.keys);
        ASSERT_TRUE(stroke) << testing::PrintToString(c.keys);
        EXPECT_EQ(stroke->kind, KeyStroke::Kind::Key) << testing::PrintToString(c.keys);
        EXPECT_EQ(stroke->key, c.key) << testing::PrintToString(c.keys);
        EXPECT_EQ(stroke->modifiers, c.modifiers) << testing::PrintToString(c.keys);
        EXPECT_EQ(stroke->text.toStdU16String(), c.text) << testing::PrintToString(c.keys);
    }
}

constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;

TEST(KeyMapping, DigitsUseTheirOwnKeys)
{
    std::vector<Expected> cases;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        cases.push_back({{u'{', digit, u'}'}, Qt::Key_0 + (digit - u'0'), None, {digit}});
    expectKeys(cases);
}

TEST(KeyMapping, LettersKeepTheirCaseAndCapitalsHoldShift)
{
    expectKeys({
        {u"{a}", Qt::Key_A, None, u"a"},
        {u"{z}", Qt::Key_Z, None, u"z"},
        {u"{A}", Qt::Key_A, Shift, u"A"},
        {u"{Z}", Qt::Key_Z, Shift, u"Z"},
        {u"{T}", Qt::Key_T, Shift, u"T"},
    });
}

// The keys scores and replacement texts use most, and those that carry a
// meaning of their own elsewhere; each with the Shift a US keyboard needs.
TEST(KeyMapping, PunctuationAsOnAUsKeyboard)
{
    expectKeys({
        {u"{ }", Qt::Key_Space, None, u" "},
        {u"{.}", Qt::Key_Period, None, u"."},
        {u"{-}", Qt::Key_Minus, None, u"-"},
        {u"{+}", Qt::Key_Plus, Shift, u"+"},
        {u"{{}", Qt::Key_BraceLeft, Shift, u"{"},
        {u"{}}", Qt::Key_BraceRight, Shift, u"}"},
        {u"{[}", Qt::Key_BracketLeft, None, u"["},
        {u"{^}", Qt::Key_AsciiCircum, Shift, u"^"},
        {u"{%}", Qt::Key_Percent, Shift, u"%"},
        {u"{~}", Qt::Key_AsciiTilde, Shift, u"~"},
        {u"{(}", Qt::Key_ParenLeft, Shift, u"("},
        {u"{\\}", Qt::Key_Backslash, None, u"\\"},
    });
}

TEST(KeyMapping, TabEnterAndCharactersNoKeyTypes)
{
    expectKeys({
        {u"{TAB}", Qt::Key_Tab, None, u"\t"},
        {u"{Enter}", Qt::Key_Return, None, u"\r"},
        {u"{缺}", 0, None, u"缺"},
        {u"{１}", 0, None, u"１"},
    });
}

TEST(KeyMapping, CharactersBeyondTheBmpAreCommittedWhole)
{
    for (const std::u16string character : {u"\U0001F600", u"\U00020000"}) {
        const std::optional<KeyStroke> stroke = keyStrokeFor(u"{" + character + u"}");
        ASSERT_TRUE(stroke);
        EXPECT_EQ(stroke->kind, KeyStroke::Kind::Commit);
        EXPECT_EQ(stroke->key, 0);
        EXPECT_EQ(stroke->text.toStdU16String(), character);
    }
}

TEST(KeyMapping, RefusesEveryOtherString)
{
    const char16_t high = 0xD83D;
    const char16_t low = 0xDE00;
    const std::vector<std::u16string> refused = {
        u"",
        u"{}",
        u"{ab}",
        u"x",
        u"{x",
        u"{tab}",
        u"{ENTER}",
        u"{TAB} ",
        u"{{}}",
        u"{\t}",
        {u'{', u'\0', u'}'},
        {u'{', high, u'}'},
        {u'{', low, high, u'}'},
        {u'{', high, low, u'x', u'}'},
    };
    for (const std::u16string &keys : refused)
        EXPECT_FALSE(keyStrokeFor(keys)) << testing::PrintToString(keys);
}

} // namespace
} // namespace gradecast
