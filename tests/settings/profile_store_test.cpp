// The store on real files. How values are found, cut and written in the text
// is checked against a model by fuzz/fuzz_settings_file.cpp; here: the code
// page, files that cannot be read or written, and what a write keeps.

#include "settings/profile_store.h"

#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace gradecast;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

TEST(StringFormINI, DecodesBig5AndFallsBackToTheDefaultWhenNothingCanBeRead)
{
    TempFolder folder;
    const auto read = [&](const std::filesystem::path &file) {
        return StringFormINI(u"GRADECAST", u"URL", u"dflt", file);
    };
    writeBytes(folder.file(), "[GRADECAST]\r\nURL=\xAF\xCA\xA6\xD2 a\xAF\r\n");
    EXPECT_EQ(read(folder.file()), u"缺考 a\uFFFD");

    const std::filesystem::path pipe = folder.path() / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_EQ(read(pipe), u"dflt") << "a pipe";
    EXPECT_EQ(read(folder.path()), u"dflt") << "a folder";
    EXPECT_EQ(read(folder.path() / "no" / "x.ini"), u"dflt") << "a missing folder";
}

TEST(ProfileWrite, KeepsModeOwnerAndLinks)
{
    TempFolder folder;
    writeBytes(folder.file(), "[G]\r\nK=a\r\n");
    ASSERT_EQ(::chmod(folder.file().c_str(), 0640), 0);
    // Only root can save a file another user owns; the save must not take it over.
    const uid_t owner = ::geteuid() == 0 ? 65534 : ::geteuid();
    ASSERT_EQ(::chown(folder.file().c_str(), owner, owner == 65534 ? 65534 : ::getegid()), 0);
    const std::filesystem::path link = folder.path() / "link.ini";
    std::filesystem::create_symlink(folder.file(), link);

    EXPECT_TRUE(WritePrivateProfileStringA("G", "K", "b", link).ok);

    struct stat status {};
    ASSERT_EQ(::stat(folder.file().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(status.st_uid, owner);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readBytes(folder.file()), "[G]\r\nK=b\r\n");
    EXPECT_EQ(folder.listing(), "GRADECAST.INI|link.ini");
}

TEST(ProfileWrite, RefusesWhatItCannotWriteAndKeepsTheOldFile)
{
    const std::string old = "[G]\r\nK=old\r\n";
    struct Case {
        const char *what;
        std::string section, key, value;
        std::filesystem::path (*target)(const TempFolder &);
        const char *reason;
    };
    const auto file = [](const TempFolder &f) { return f.file(); };
    const Case cases[] = {
        // A line end would add lines of its own, such as "USETAB=9".
        {"CR LF in the value", "G", "K", "a\r\nUSETAB=9", file, "line break"},
        {"CR in the value", "G", "K", "a\rb", file, "line break"},
        {"LF in the key", "G", "K\nX", "a", file, "line break"},
        {"NUL in the section", std::string("G\0X", 3), "K", "a", file, "line break"},
        {"read-only file", "G", "K", "new", file, "read-only"},
        {"path is a folder", "G", "K", "new",
         [](const TempFolder &f) { return f.path() / "dir.ini"; }, "Is a directory"},
        {"missing folder", "G", "K", "new",
         [](const TempFolder &f) { return f.path() / "no" / "GRADECAST.INI"; }, "No such file"},
        {"folder is a file", "G", "K", "new",
         [](const TempFolder &f) { return f.file() / "GRADECAST.INI"; }, "Not a directory"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        writeBytes(folder.file(), old);
        std::filesystem::create_directory(folder.path() / "dir.ini");
        if (std::string_view(c.what) == "read-only file") {
            ASSERT_EQ(::chmod(folder.file().c_str(), 0444), 0);
        }

        const ProfileWriteResult result =
            WritePrivateProfileStringA(c.section, c.key, c.value, c.target(folder));
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
        EXPECT_EQ(readBytes(folder.file()), old);
        EXPECT_EQ(folder.listing(), "GRADECAST.INI|dir.ini");
        EXPECT_TRUE(std::filesystem::is_empty(folder.path() / "dir.ini"));
    }
}

TEST(SettingsFilePath, IsTheIniFileBesideTheProgramUnlessOverridden)
{
    const std::filesystem::path beside =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "GRADECAST.INI";
    EXPECT_EQ(SettingsFilePath(), beside);
    OverrideSettingsFolder(std::filesystem::path("/some/folder"));
    EXPECT_EQ(SettingsFilePath(), std::filesystem::path("/some/folder/GRADECAST.INI"));
    OverrideSettingsFolder(std::nullopt);
    EXPECT_EQ(SettingsFilePath(), beside);
}
