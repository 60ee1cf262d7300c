#include "entry/message_text.h"

#include <gtest/gtest.h>

namespace gradecast {
namespace {

TEST(MessageText, NamedLinesNameFiveAndCountTheRest)
{
    const std::vector<std::size_t> five = {1, 2, 3, 4, 5};
    EXPECT_EQ(NamedLines(five, DecimalText, u" 筆不符。\n"), u"1\n2\n3\n4\n5\n");
    EXPECT_EQ(NamedLines(std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7}, DecimalText, u" 筆不符。\n"),
              u"1\n2\n3\n4\n5\n另有 2 筆不符。\n");
}

TEST(MessageText, LongTextsAreShownByTheirStartWithoutHalfACharacter)
{
    const std::u16string start(19, u'長');
    EXPECT_EQ(ShownText(start + u"字"), start + u"字");
    // The 20th unit starts a surrogate pair: the pair goes, not half of it.
    EXPECT_EQ(ShownText(start + u"\U0001F600是"), start + u"…");
    EXPECT_EQ(ShownText(start + u"字是"), start + u"字…");
}

} // namespace
} // namespace gradecast
