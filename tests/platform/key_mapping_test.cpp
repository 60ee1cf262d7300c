#include "platform/key_mapping.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gradecast {
namespace {

constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;

// Real key codes, with the Shift a US keyboard needs: the keys scores and the
// replacement texts use most, and those that mean something of their own
// elsewhere. Characters no key types come as text; those beyond the BMP as an
// input-method commit.
TEST(KeyMapping, KeysAndTextOfEveryKindOfCharacter)
{
    struct Expected {
        std::u16string keys;
        KeyStroke::Kind kind;
        int key;
        Qt::KeyboardModifiers modifiers;
        std::u16string text;
    };
    constexpr KeyStroke::Kind Key = KeyStroke::Kind::Key;
    std::vector<Expected> cases = {
        {u"{a}", Key, Qt::Key_A, None, u"a"},          {u"{z}", Key, Qt::Key_Z, None, u"z"},
        {u"{A}", Key, Qt::Key_A, Shift, u"A"},         {u"{Z}", Key, Qt::Key_Z, Shift, u"Z"},
        {u"{ }", Key, Qt::Key_Space, None, u" "},      {u"{.}", Key, Qt::Key_Period, None, u"."},
        {u"{-}", Key, Qt::Key_Minus, None, u"-"},      {u"{+}", Key, Qt::Key_Plus, Shift, u"+"},
        {u"{{}", Key, Qt::Key_BraceLeft, Shift, u"{"}, {u"{}}", Key, Qt::Key_BraceRight, Shift, u"}"},
        {u"{[}", Key, Qt::Key_BracketLeft, None, u"["}, {u"{^}", Key, Qt::Key_AsciiCircum, Shift, u"^"},
        {u"{%}", Key, Qt::Key_Percent, Shift, u"%"},   {u"{~}", Key, Qt::Key_AsciiTilde, Shift, u"~"},
        {u"{(}", Key, Qt::Key_ParenLeft, Shift, u"("}, {u"{\\}", Key, Qt::Key_Backslash, None, u"\\"},
        {u"{TAB}", Key, Qt::Key_Tab, None, u"\t"},     {u"{Enter}", Key, Qt::Key_Return, None, u"\r"},
        {u"{缺}", Key, 0, None, u"缺"},                {u"{１}", Key, 0, None, u"１"},
        {u"{\U0001F600}", KeyStroke::Kind::Commit, 0, None, u"\U0001F600"},
        {u"{\U00020000}", KeyStroke::Kind::Commit, 0, None, u"\U00020000"},
    };
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        cases.push_back({{u'{', digit, u'}'}, Key, Qt::Key_0 + (digit - u'0'), None, {digit}});
    for (const Expected &c : cases) {
        const std::optional<KeyStroke> stroke = keyStrokeFor(c.keys);
        ASSERT_TRUE(stroke) << testing::PrintToString(c.keys);
        EXPECT_EQ(std::tuple(stroke->kind, stroke->key, stroke->modifiers.toInt(),
                             stroke->text.toStdU16String()),
                  std::tuple(c.kind, c.key, c.modifiers.toInt(), c.text))
            << testing::PrintToString(c.keys);
    }
}

TEST(KeyMapping, RefusesEveryOtherString)
{
    const char16_t high = 0xD83D;
    const char16_t low = 0xDE00;
    const std::u16string refused[] = {
        u"", u"{}", u"{ab}", u"x", u"{x", u"{tab}", u"{ENTER}", u"{TAB} ", u"{{}}", u"{\t}",
        {u'{', u'\0', u'}'}, {u'{', high, u'}'}, {u'{', low, high, u'}'}, {u'{', high, low, u'x', u'}'},
    };
    for (const std::u16string &keys : refused)
        EXPECT_FALSE(keyStrokeFor(keys)) << testing::PrintToString(keys);
}

} // namespace
} // namespace gradecast
