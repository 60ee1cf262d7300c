#include "settings/profile_store.h"

#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace gradecast;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

namespace {

std::u16string readValue(const TempFolder &folder, std::string_view fileContent,
                         std::u16string_view defaultValue = u"")
{
    writeBytes(folder.file(), fileContent);
    return StringFormINI(u"GRADECAST", u"URL", defaultValue, folder.file());
}

} // namespace

TEST(StringFormINI, ReturnsTheValueLessItsLeadingSpaces)
{
    TempFolder folder;
    struct Case {
        const char *what;
        std::string content;
        std::u16string value;
    };
    const Case cases[] = {
        {"quoted, blanks inside", "[GRADECAST]\r\nURL=\"  abc  \"\r\n", u"abc  "},
        {"quoted blanks only", "[GRADECAST]\r\nURL=\"   \"\r\n", u""},
        {"tab inside quotes stays", "[GRADECAST]\r\nURL=\"\tabc\"\r\n", u"\tabc"},
        {"Big5", "[GRADECAST]\r\nURL=\xAF\xCA\xA6\xD2\r\n", u"缺考"},
        {"lead byte before the end of the buffer", "[GRADECAST]\r\nURL=a\xAF\r\n", u"a\uFFFD"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(readValue(folder, c.content), c.value) << c.what;
}

TEST(StringFormINI, CutsLongValuesAtTheBufferWithoutSplittingACharacter)
{
    TempFolder folder;
    const std::string header = "[GRADECAST]\r\nURL=";
    EXPECT_EQ(readValue(folder, header + std::string(300, 'x') + "\r\n"),
              std::u16string(254, u'x'));
    EXPECT_EQ(readValue(folder, header + std::string(254, 'x')), std::u16string(254, u'x'));

    std::string big5;
    std::u16string chinese;
    for (int i = 0; i < 130; ++i) {
        big5 += "\xAF\xCA";
        chinese += u"缺";
    }
    EXPECT_EQ(readValue(folder, header + big5), chinese.substr(0, 127));
    // The 254th byte is a lead byte: its half character is dropped.
    EXPECT_EQ(readValue(folder, header + "a" + big5), u"a" + chinese.substr(0, 126));
    // Leading spaces inside quotes count against the buffer, then are removed.
    EXPECT_EQ(readValue(folder, header + "\"" + std::string(250, ' ') + "abcdefgh\""), u"abcd");
}

TEST(StringFormINI, UsesTheDefaultWhenNothingCanBeRead)
{
    TempFolder folder;
    EXPECT_EQ(StringFormINI(u"GRADECAST", u"USETAB", u"0", folder.file()), u"0");
    EXPECT_EQ(StringFormINI(u"GRADECAST", u"USETAB", u"0  ", folder.file()), u"0");
    EXPECT_EQ(StringFormINI(u"GRADECAST", u"USETAB", u"0", folder.path() / "no" / "x.ini"), u"0");
    EXPECT_EQ(StringFormINI(u"GRADECAST", u"USETAB", u"0", folder.path()), u"0"); // a folder
    const std::filesystem::path pipe = folder.path() / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_EQ(StringFormINI(u"GRADECAST", u"USETAB", u"0", pipe), u"0");
    EXPECT_EQ(readValue(folder, "[OTHER]\r\nURL=a\r\n", u"d"), u"d");
    EXPECT_EQ(readValue(folder, "[GRADECAST]\r\nUSETAB=1\r\n", u"d"), u"d");
    EXPECT_EQ(readValue(folder, "[GRADECAST]\r\nURL=\r\n", u"d"), u""); // present and empty
}

TEST(GetPrivateProfileStringA, FillsTheBufferLikeWindows)
{
    TempFolder folder;
    writeBytes(folder.file(), "[G]\r\nK=abcdef\r\n");
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(GetPrivateProfileStringA("G", "K", "", buffer, 4, folder.file()), 3u);
    EXPECT_EQ(std::string(buffer, 5), std::string("abc\0#", 5));
    EXPECT_EQ(GetPrivateProfileStringA("G", "X", "dflt  ", buffer, 8, folder.file()), 4u);
    EXPECT_EQ(std::string(buffer), "dflt");
    EXPECT_EQ(GetPrivateProfileStringA("G", "K", "", buffer, 1, folder.file()), 0u);
    EXPECT_EQ(buffer[0], '\0');
    buffer[0] = '#';
    EXPECT_EQ(GetPrivateProfileStringA("G", "K", "", buffer, 0, folder.file()), 0u);
    EXPECT_EQ(buffer[0], '#');
}

TEST(ProfileWrite, KeepsPermissionsAndWritesThroughLinks)
{
    TempFolder folder;
    writeBytes(folder.file(), "[G]\r\nK=a\r\n");
    ASSERT_EQ(::chmod(folder.file().c_str(), 0640), 0);
    EXPECT_TRUE(WritePrivateProfileStringA("G", "K", "b", folder.file()).ok);
    struct stat status {};
    ASSERT_EQ(::stat(folder.file().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);

    const std::filesystem::path link = folder.path() / "link.ini";
    std::filesystem::create_symlink(folder.file(), link);
    EXPECT_TRUE(WritePrivateProfileStringA("G", "K", "c", link).ok);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readBytes(folder.file()), "[G]\r\nK=c\r\n");
    EXPECT_EQ(folder.listing(), "GRADECAST.INI|link.ini");
}

TEST(ProfileWrite, FailsCleanlyAndKeepsTheOldFile)
{
    TempFolder folder;
    const std::string old = "[G]\r\nK=old\r\n";
    const auto expectFailure = [&](const std::filesystem::path &file, std::string_view value,
                                   const char *what) {
        const ProfileWriteResult result = WritePrivateProfileStringA("G", "K", value, file);
        EXPECT_FALSE(result.ok) << what;
        EXPECT_FALSE(result.error.empty()) << what;
    };

    writeBytes(folder.file(), old);
    ASSERT_EQ(::chmod(folder.file().c_str(), 0444), 0);
    expectFailure(folder.file(), "new", "read-only file");
    EXPECT_EQ(readBytes(folder.file()), old);
    ASSERT_EQ(::chmod(folder.file().c_str(), 0644), 0);

    expectFailure(folder.file(), "a\r\nK=b", "line break in the value");
    EXPECT_EQ(readBytes(folder.file()), old);

    const std::filesystem::path directory = folder.path() / "dir.ini";
    std::filesystem::create_directory(directory);
    expectFailure(directory, "new", "path is a folder");
    EXPECT_TRUE(std::filesystem::is_directory(directory));

    expectFailure(folder.path() / "missing" / "GRADECAST.INI", "new", "missing folder");
    expectFailure(folder.file() / "GRADECAST.INI", "new", "folder is a file");
    EXPECT_EQ(readBytes(folder.file()), old);
    EXPECT_EQ(folder.listing(), "GRADECAST.INI|dir.ini");
}

TEST(ProfileWrite, FailsInAFolderThatCannotBeWritten)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not bind root";
    TempFolder folder;
    const std::string old = "[G]\r\nK=old\r\n";
    writeBytes(folder.file(), old);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0555), 0);
    const ProfileWriteResult result = WritePrivateProfileStringA("G", "K", "new", folder.file());
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("Permission denied"), std::string::npos) << result.error;
    EXPECT_EQ(readBytes(folder.file()), old);
    EXPECT_EQ(folder.listing(), "GRADECAST.INI");

    ASSERT_EQ(::chmod(folder.file().c_str(), 0200), 0);
    EXPECT_EQ(StringFormINI(u"G", u"K", u"dflt", folder.file()), u"dflt"); // unreadable
    EXPECT_FALSE(WritePrivateProfileStringA("G", "K", "new", folder.file()).ok);
    ASSERT_EQ(::chmod(folder.file().c_str(), 0644), 0);
    EXPECT_EQ(readBytes(folder.file()), old);
}

TEST(SettingsFilePath, IsTheIniFileBesideTheProgramUnlessOverridden)
{
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(SettingsFilePath(), executable.parent_path() / "GRADECAST.INI");
    const TempFolder folder;
    OverrideSettingsFolder(folder.path());
    EXPECT_EQ(SettingsFilePath(), folder.file());
    OverrideSettingsFolder(std::nullopt);
    EXPECT_EQ(SettingsFilePath(), executable.parent_path() / "GRADECAST.INI");
}
