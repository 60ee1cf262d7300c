#include "settings/ansi_codec.h"
#include "settings/settings_record.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace gradecast;

TEST(SettingsInteger, RoundsHalfToEvenWithinSixteenBits)
{
    const std::pair<std::u16string, std::optional<std::int16_t>> cases[] = {
        {u"2.5", 2},        {u"3.5", 4},        {u"0.5", 0},          {u"-0.6", -1},
        {u"abc", 0},        {u"32767", 32767},  {u"32767.5", std::nullopt},
        {u"40000", std::nullopt}, {u"-32768.5", -32768}, {u"-32768.6", std::nullopt},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(SettingsInteger(text), value) << std::string(text.begin(), text.end());
}

// The texts lose their blanks, but not a tab or a full-width space.
TEST(TrimSpaces, OnlyBlanks) { EXPECT_EQ(TrimSpaces(u" \tA\u3000 "), u"\tA\u3000"); }

TEST(LoadSettings, ReadsTheSixKeysAndKeepsAFieldWhoseNumberDoesNotFit)
{
    // The record as one comparable value, fields in file order.
    const auto fields = [](const SettingsRecord &r) {
        return std::tuple(r.SchoolUrl, r.UseEnter, r.UseTab, r.AbsentText, r.Score100Text,
                          r.DecimalPlaces);
    };
    test::TempFolder folder;
    test::writeBytes(folder.file(), "[gradecast]\r\nURL=  http://s.example/a b  \r\n"
                                    "USEENTER=40000\r\nUSETAB=-1\r\nABSENT=\xAF\xCA\r\n"
                                    "SCORE100=\"A+ \"\r\nDECIMAL=2.5\r\n");
    SettingsRecord record{u"", 3, 3, u"", u"", 3};
    LoadSettings(record, folder.file());
    EXPECT_EQ(fields(record), fields({u"http://s.example/a b", 3, -1, u"缺", u"A+ ", 2}));
    // Only a number above zero ticks a box (the Tab box wins over Enter: the tool's test).
    const SeparatorBoxes boxes = StartupSeparatorBoxes(record);
    EXPECT_EQ(std::pair(boxes.tab, boxes.enter), std::pair(false, true));
}

// A system without a Big5 converter: a load keeps the record's own values,
// a save says why it failed and leaves the file as it was.
TEST(Settings, WithoutABig5ConverterALoadKeepsItsValuesAndASaveFailsAndSaysWhy)
{
    test::TempFolder folder;
    const std::string old = "[GRADECAST]\r\nURL=http://s.example\r\nUSETAB=1\r\n";
    test::writeBytes(folder.file(), old);
    OverrideAnsiCodePage("NO-SUCH-CODE-PAGE");
    SettingsRecord record{u"", 0, 0, u"缺", u"", 0};
    LoadSettings(record, folder.file());
    const ProfileWriteResult saved = SaveSettings({u"http://t.example", 0, 1, u"", u"", 0},
                                                  folder.file());
    OverrideAnsiCodePage({});
    EXPECT_EQ(record.SchoolUrl, u"");
    EXPECT_EQ(record.UseTab, 0);
    EXPECT_EQ(record.AbsentText, u"缺");
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.error.find("Big5"), std::string::npos) << saved.error;
    EXPECT_EQ(test::readBytes(folder.file()), old);
}

// A new file byte for byte: the window's save test; where a key goes: the fuzz model.
TEST(SaveSettings, MakesEveryWriteAndReportsTheFirstFailure)
{
    test::TempFolder folder;
    const ProfileWriteResult result =
        SaveSettings({u"a\r\nUSETAB=9", 0, 1, u"x", u"", 0}, folder.file());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("line break"), std::string::npos) << result.error;
    EXPECT_EQ(test::readBytes(folder.file()),
              "[GRADECAST]\r\nUSEENTER=0\r\nUSETAB=1\r\nABSENT=x\r\nSCORE100=\r\n");
}
