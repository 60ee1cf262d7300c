#include "platform/key_mapping.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace gradecast {
namespace {

constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;

// Real key codes with the Shift a US keyboard needs; characters no key types
// come as text alone (key 0), those beyond the BMP as an input-method commit.
TEST(KeyMapping, KeysAndTextOfEveryKindOfCharacter)
{
    const std::tuple<std::u16string, int, Qt::KeyboardModifiers> keys[] = {
        {u"{z}", Qt::Key_Z, None},          {u"{A}", Qt::Key_A, Shift},
        {u"{ }", Qt::Key_Space, None},      {u"{.}", Qt::Key_Period, None},
        {u"{-}", Qt::Key_Minus, None},      {u"{+}", Qt::Key_Plus, Shift},
        {u"{}}", Qt::Key_BraceRight, Shift}, {u"{[}", Qt::Key_BracketLeft, None},
        {u"{TAB}", Qt::Key_Tab, None},      {u"{Enter}", Qt::Key_Return, None},
        {u"{7}", Qt::Key_7, None},          {u"{缺}", 0, None},
        {u"{１}", 0, None},
    };
    for (const auto &[string, key, modifiers] : keys) {
        const std::u16string text = string == u"{TAB}"     ? u"\t"
                                    : string == u"{Enter}" ? u"\r"
                                                           : string.substr(1, string.size() - 2);
        const std::optional<KeyStroke> stroke = keyStrokeFor(string);
        ASSERT_TRUE(stroke) << testing::PrintToString(string);
        EXPECT_EQ(std::tuple(stroke->kind, stroke->key, stroke->modifiers.toInt(),
                             stroke->text.toStdU16String()),
                  std::tuple(KeyStroke::Kind::Key, key, modifiers.toInt(), text))
            << testing::PrintToString(string);
    }
    for (const std::u16string character : {u"\U0001F600", u"\U00020000"}) {
        const std::optional<KeyStroke> stroke = keyStrokeFor(u"{" + character + u"}");
        ASSERT_TRUE(stroke) << testing::PrintToString(character);
        EXPECT_EQ(std::tuple(stroke->kind, stroke->key, stroke->text.toStdU16String()),
                  std::tuple(KeyStroke::Kind::Commit, 0, character));
    }
}

TEST(KeyMapping, RefusesEveryOtherString)
{
    const char16_t high = 0xD83D;
    const char16_t low = 0xDE00;
    const std::u16string refused[] = {
        u"", u"{}", u"{ab}", u"x", u"{x", u"{tab}", u"{TAB} ", u"{{}}", u"{\t}",
        {u'{', high, u'}'}, {u'{', low, high, u'}'}, {u'{', high, low, u'x', u'}'},
    };
    for (const std::u16string &keys : refused)
        EXPECT_FALSE(keyStrokeFor(keys)) << testing::PrintToString(keys);
}

} // namespace
} // namespace gradecast
