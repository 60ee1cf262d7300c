#include "settings/settings_record.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace gradecast;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

namespace {

// The record as one comparable value, fields in file order.
auto fields(const SettingsRecord &r)
{
    return std::tuple(r.SchoolUrl, r.UseEnter, r.UseTab, r.AbsentText, r.Score100Text,
                      r.DecimalPlaces);
}

} // namespace

TEST(SettingsInteger, RoundsHalfToEvenWithinSixteenBits)
{
    struct Case {
        std::u16string text;
        std::optional<std::int16_t> value;
    };
    const Case cases[] = {
        {u"2.5", 2},        {u"3.5", 4},          {u"0.5", 0},
        {u"-0.6", -1},      {u"abc", 0},          {u"7x", 7},
        {u"1 2", 12},       {u"1e2", 100},        {u"40000", std::nullopt},
        {u"32767", 32767},  {u"32767.5", std::nullopt},
        {u"-32768.5", -32768}, {u"-32768.6", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SettingsInteger(c.text), c.value) << std::string(c.text.begin(), c.text.end());
}

TEST(TrimSpaces, RemovesOnlyTheSpaceCharacter)
{
    EXPECT_EQ(TrimSpaces(u"  a b  "), u"a b");
    EXPECT_EQ(TrimSpaces(u"   "), u"");
    EXPECT_EQ(TrimSpaces(u"\t\u3000a\u3000\t"), u"\t\u3000a\u3000\t");
}

TEST(LoadSettings, ReadsTheSixKeysWithTheirDefaults)
{
    TempFolder folder;
    SettingsRecord record;
    LoadSettings(record, folder.file());
    EXPECT_EQ(fields(record), fields(SettingsRecord{}));

    writeBytes(folder.file(), "[gradecast]\r\nURL=  http://s.example/a b  \r\nUSEENTER=1\r\n"
                              "USETAB=-1\r\nABSENT=\xAF\xCA\r\nSCORE100=\"A+ \"\r\n"
                              "DECIMAL=2.5\r\n");
    LoadSettings(record, folder.file());
    EXPECT_EQ(fields(record), fields({u"http://s.example/a b", 1, -1, u"缺", u"A+ ", 2}));
}

TEST(LoadSettings, KeepsAFieldWhoseNumberDoesNotFit)
{
    TempFolder folder;
    writeBytes(folder.file(), "[GRADECAST]\r\nUSEENTER=40000\r\nUSETAB=abc\r\nDECIMAL=-99999\r\n");
    SettingsRecord record{u"", 3, 3, u"", u"", 3};
    LoadSettings(record, folder.file());
    EXPECT_EQ(fields(record), fields({u"", 3, 0, u"", u"", 3}));
}

TEST(SaveSettings, CreatesTheFileWithTheFiveKeysInOrder)
{
    TempFolder folder;
    const SettingsRecord record{u"https://school.example/score", 0, -3, u"缺考", u"", 4};
    const ProfileWriteResult result = SaveSettings(record, folder.file());
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(readBytes(folder.file()), "[GRADECAST]\r\nURL=https://school.example/score\r\n"
                                        "USEENTER=0\r\nUSETAB=-3\r\nABSENT=\xAF\xCA\xA6\xD2\r\n"
                                        "SCORE100=\r\n");
    EXPECT_EQ(folder.listing(), "GRADECAST.INI");

    // DECIMAL is never written.
    SettingsRecord loaded;
    LoadSettings(loaded, folder.file());
    EXPECT_EQ(fields(loaded), fields({record.SchoolUrl, 0, -3, record.AbsentText, u"", 0}));
}

TEST(SaveSettings, LeavesEveryOtherLineByteForByte)
{
    TempFolder folder;
    writeBytes(folder.file(), "; settings\r\n[OTHER]\r\nURL=x\r\n\r\n[GRADECAST]\r\n"
                              "DECIMAL=2\r\nusetab = 5\r\n; end\r\n\r\n[MORE]\nA=1");
    EXPECT_TRUE(SaveSettings({u"u", 0, 1, u"", u"A", 0}, folder.file()).ok);
    EXPECT_EQ(readBytes(folder.file()),
              "; settings\r\n[OTHER]\r\nURL=x\r\n\r\n[GRADECAST]\r\n"
              "DECIMAL=2\r\nusetab =1\r\nURL=u\r\nUSEENTER=0\r\nABSENT=\r\nSCORE100=A\r\n"
              "; end\r\n\r\n[MORE]\nA=1");
}

TEST(SaveSettings, MakesEveryWriteAndReportsTheFirstFailure)
{
    TempFolder folder;
    const SettingsRecord record{u"a\r\nUSETAB=9", 0, 1, u"x", u"", 0};
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
        {1, 1, true, false}, {5, 0, true, false}, {-1, 1, false, true}, {0, -2, false, false},
    };
    for (const Case &c : cases) {
        const SeparatorBoxes boxes =
            StartupSeparatorBoxes({u"", c.useEnter, c.useTab, u"", u"", 0});
        EXPECT_EQ(boxes.tab, c.tab) << c.useTab << " " << c.useEnter;
        EXPECT_EQ(boxes.enter, c.enter) << c.useTab << " " << c.useEnter;
    }
}
