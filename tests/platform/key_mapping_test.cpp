#include "platform/key_mapping.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace gradecast {
namespace {

constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;
constexpr KeyStroke::Kind Key = KeyStroke::Kind::Key;

// Real key codes with the Shift a US keyboard needs; characters no key types
// come as text alone (key 0), those beyond the BMP as an input-method commit.
TEST(KeyMapping, KeysAndTextOfEveryKindOfCharacter)
{
    const std::tuple<std::u16string, KeyStroke::Kind, int, Qt::KeyboardModifiers,
                     std::u16string>
        cases[] = {
            {u"{z}", Key, Qt::Key_Z, None, u"z"},      {u"{A}", Key, Qt::Key_A, Shift, u"A"},
            {u"{ }", Key, Qt::Key_Space, None, u" "},  {u"{7}", Key, Qt::Key_7, None, u"7"},
            {u"{.}", Key, Qt::Key_Period, None, u"."}, {u"{-}", Key, Qt::Key_Minus, None, u"-"},
            {u"{+}", Key, Qt::Key_Plus, Shift, u"+"},  {u"{缺}", Key, 0, None, u"缺"},
            {u"{}}", Key, Qt::Key_BraceRight, Shift, u"}"}, {u"{１}", Key, 0, None, u"１"},
            {u"{TAB}", Key, Qt::Key_Tab, None, u"\t"},
            {u"{Enter}", Key, Qt::Key_Return, None, u"\r"},
            {u"{\U0001F600}", KeyStroke::Kind::Commit, 0, None, u"\U0001F600"},
            {u"{\U00020000}", KeyStroke::Kind::Commit, 0, None, u"\U00020000"},
        };
    for (const auto &[string, kind, key, modifiers, text] : cases) {
        const std::optional<KeyStroke> stroke = keyStrokeFor(string);
        ASSERT_TRUE(stroke) << testing::PrintToString(string);
        EXPECT_EQ(std::tuple(stroke->kind, stroke->key, stroke->modifiers.toInt(),
                             stroke->text.toStdU16String()),
                  std::tuple(kind, key, modifiers.toInt(), text))
            << testing::PrintToString(string);
    }
}

TEST(KeyMapping, RefusesEveryOtherString)
{
    const char16_t high = 0xD83D; // half a surrogate pair
    const std::u16string refused[] = {
        u"", u"{}", u"{ab}", u"x", u"{x", u"{tab}", u"{TAB} ", u"{{}}",
        {u'{', high, u'}'}, {u'{', high, char16_t(0xDE00), u'x', u'}'},
    };
    for (const std::u16string &keys : refused)
        EXPECT_FALSE(keyStrokeFor(keys)) << testing::PrintToString(keys);
}

} // namespace
} // namespace gradecast
