#include "settings/file_name.h"

#include <gtest/gtest.h>

using namespace gradecast;

TEST(SafeFileName, KeepsOnlyANameInTheFolder)
{
    const struct {
        std::u16string given, fallback, safe;
    } cases[] = {
        {u"成績.csv", u"export", u"成績.csv"}, {u"../.xsessionrc", u"x", u"xsessionrc"},
        {u"/etc/cron.daily/job", u"x", u"job"}, {u"C:\\Users\\成績.csv", u"x", u"成績.csv"},
        {u" .. .成績.csv ", u"x", u"成績.csv"}, {u"\u3000成績.csv", u"x", u"成績.csv"},
        {std::u16string(u"a\0b\r\n\x7F\x85.csv", 11), u"x", u"a_b____.csv"},
        {u"\u202Egpj.exe", u"x", u"_gpj.exe"}, {u"\U0001F4D6.csv", u"x", u"\U0001F4D6.csv"},
        {std::u16string{u'a', char16_t(0xD800), u'b'}, u"x", u"a_b"},
        // Nothing left: the address's name, else a name of our own.
        {u"..", u"dl/../export.csv", u"export.csv"}, {u"a/", u"", u"下載"}, {u"", u"/", u"下載"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SafeFileName(c.given, c.fallback, FileNameLimit), c.safe);
}

TEST(FitFileName, CutsBeforeTheExtensionAndNeverInsideACharacter)
{
    const std::u16string chinese83(83, u'成'); // 249 bytes
    const struct {
        std::u16string name;
        std::size_t limit;
        std::u16string fitted;
    } cases[] = {
        {chinese83 + u".csv", 253, chinese83 + u".csv"},
        {chinese83 + u".csv", 252, chinese83.substr(1) + u".csv"},
        {chinese83 + u".csv", 249, chinese83.substr(2) + u".csv"},
        {u"ab\U0001F4D6.csv", 9, u"ab.csv"}, {u"ab\U0001F4D6.csv", 10, u"ab\U0001F4D6.csv"},
        // No extension to keep: a leading dot, or a last part too long to be one.
        {u".abcdef", 4, u".abc"}, {u"ab.cdefgh", 6, u"ab.cde"}, {u"abcdef", 3, u"abc"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FitFileName(c.name, c.limit), c.fitted) << c.limit;
    EXPECT_EQ(SafeFileName(u"../" + std::u16string(300, u'a') + u".csv", u"", FileNameLimit),
              std::u16string(251, u'a') + u".csv");
}
