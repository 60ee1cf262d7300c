#include "settings/settings_record.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace gradecast;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

TEST(SettingsInteger, RoundsHalfToEvenWithinSixteenBits)
{
    struct Case {
        std::u16string text;
        std::optional<std::int16_t> value;
    };
    const Case cases[] = {
        {u"2.5", 2},       {u"3.5", 4},        {u"0.5", 0},          {u"1.5", 2},
        {u"-0.6", -1},     {u"-2.5", -2},      {u"-0.5", 0},         {u"2.4999", 2},
        {u"abc", 0},       {u"", 0},           {u"7x", 7},           {u"1 2", 12},
        {u"1e2", 100},     {u"-3", -3},        {u"40000", std::nullopt},
        {u"32767", 32767}, {u"32767.5", std::nullopt},              {u"-32768", -32768},
        {u"-32768.5", -32768},                 {u"-32768.6", std::nullopt},
        {u"1e300", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SettingsInteger(c.text), c.value) << std::string(c.text.begin(), c.text.end());
}

TEST(TrimSpaces, RemovesOnlyTheSpaceCharacter)
{
    EXPECT_EQ(TrimSpaces(u" a "), u"a");
    EXPECT_EQ(TrimSpaces(u"  a b  "), u"a b");
    EXPECT_EQ(TrimSpaces(u"   "), u"");
    EXPECT_EQ(TrimSpaces(u""), u"");
    EXPECT_EQ(TrimSpaces(u"\ta\t"), u"\ta\t");
    EXPECT_EQ(TrimSpaces(u"\u3000a\u3000"), u"\u3000a\u3000");
}

TEST(LoadSettings, ReadsTheSixKeysWithTheirDefaults)
{
    TempFolder folder;
    SettingsRecord empty;
    LoadSettings(empty, folder.file());
    EXPECT_EQ(empty.SchoolUrl, u"");
    EXPECT_EQ(empty.UseEnter, 0);
    EXPECT_EQ(empty.UseTab, 0);
    EXPECT_EQ(empty.AbsentText, u"");
    EXPECT_EQ(empty.Score100Text, u"");
    EXPECT_EQ(empty.DecimalPlaces, 0);

    writeBytes(folder.file(), "[gradecast]\r\nURL=  http://s.example/a b  \r\nUSEENTER=1\r\n"
                              "USETAB=-1\r\nABSENT=\xAF\xCA\r\nSCORE100=\"A+ \"\r\nDECIMAL=2.5\r\n");
    SettingsRecord record;
    LoadSettings(record, folder.file());
    EXPECT_EQ(record.SchoolUrl, u"http://s.example/a b");
    EXPECT_EQ(record.UseEnter, 1);
    EXPECT_EQ(record.UseTab, -1);
    EXPECT_EQ(record.AbsentText, u"缺");
    EXPECT_EQ(record.Score100Text, u"A+ ");
    EXPECT_EQ(record.DecimalPlaces, 2);
}

TEST(LoadSettings, KeepsAFieldWhoseNumberDoesNotFit)
{
    TempFolder folder;
    writeBytes(folder.file(), "[GRADECAST]\r\nUSEENTER=40000\r\nUSETAB=abc\r\nDECIMAL=-99999\r\n");
    SettingsRecord record;
    record.UseEnter = 3;
    record.UseTab = 3;
    record.DecimalPlaces = 3;
    LoadSettings(record, folder.file());
    EXPECT_EQ(record.UseEnter, 3);
    EXPECT_EQ(record.UseTab, 0);
    EXPECT_EQ(record.DecimalPlaces, 3);
}

TEST(SaveSettings, CreatesTheFileWithTheFiveKeysInOrder)
{
    TempFolder folder;
    SettingsRecord record;
    record.SchoolUrl = u"https://school.example/score";
    record.UseEnter = 0;
    record.UseTab = -3;
    record.AbsentText = u"缺考";
    record.DecimalPlaces = 4;
    const ProfileWriteResult result = SaveSettings(record, folder.file());
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(readBytes(folder.file()), "[GRADECAST]\r\nURL=https://school.example/score\r\n"
                                        "USEENTER=0\r\nUSETAB=-3\r\nABSENT=\xAF\xCA\xA6\xD2\r\n"
                                        "SCORE100=\r\n");
    EXPECT_EQ(folder.listing(), "GRADECAST.INI");

    SettingsRecord loaded;
    LoadSettings(loaded, folder.file());
    EXPECT_EQ(loaded.SchoolUrl, record.SchoolUrl);
    EXPECT_EQ(loaded.UseTab, -3);
    EXPECT_EQ(loaded.AbsentText, record.AbsentText);
    EXPECT_EQ(loaded.DecimalPlaces, 0);
}

TEST(SaveSettings, LeavesEveryOtherLineByteForByte)
{
    TempFolder folder;
    writeBytes(folder.file(), "; settings\r\n[OTHER]\r\nURL=x\r\n\r\n[GRADECAST]\r\n"
                              "DECIMAL=2\r\nusetab = 5\r\n; end\r\n\r\n[MORE]\nA=1");
    SettingsRecord record;
    record.SchoolUrl = u"u";
    record.UseTab = 1;
    record.Score100Text = u"A";
    EXPECT_TRUE(SaveSettings(record, folder.file()).ok);
    EXPECT_EQ(readBytes(folder.file()),
              "; settings\r\n[OTHER]\r\nURL=x\r\n\r\n[GRADECAST]\r\n"
              "DECIMAL=2\r\nusetab =1\r\nURL=u\r\nUSEENTER=0\r\nABSENT=\r\nSCORE100=A\r\n"
              "; end\r\n\r\n[MORE]\nA=1");
}

TEST(SaveSettings, MakesEveryWriteAndReportsTheFirstFailure)
{
    TempFolder folder;
    SettingsRecord record;
    record.SchoolUrl = u"a\r\nUSETAB=9";
    record.UseTab = 1;
    record.AbsentText = u"x";
    const ProfileWriteResult result = SaveSettings(record, folder.file());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("line break"), std::string::npos) << result.error;
    EXPECT_EQ(readBytes(folder.file()),
              "[GRADECAST]\r\nUSEENTER=0\r\nUSETAB=1\r\nABSENT=x\r\nSCORE100=\r\n");

    const std::filesystem::path directory = folder.path() / "dir";
    std::filesystem::create_directory(directory);
    EXPECT_FALSE(SaveSettings(record, directory).ok);
}

TEST(StartupSeparatorBoxes, TheTabBoxWins)
{
    struct Case {
        std::int16_t useTab;
        std::int16_t useEnter;
        bool tab;
        bool enter;
    };
    const Case cases[] = {
        {0, 0, false, false}, {1, 1, true, false}, {0, 1, false, true}, {5, 0, true, false},
        {-1, 0, false, false}, {-1, 1, false, true}, {0, -2, false, false},
    };
    for (const Case &c : cases) {
        SettingsRecord record;
        record.UseTab = c.useTab;
        record.UseEnter = c.useEnter;
        const SeparatorBoxes boxes = StartupSeparatorBoxes(record);
        EXPECT_EQ(boxes.tab, c.tab) << c.useTab << " " << c.useEnter;
        EXPECT_EQ(boxes.enter, c.enter) << c.useTab << " " << c.useEnter;
    }
}
