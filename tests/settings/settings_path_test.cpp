// Where the settings file lives, with real folders and permissions.

#include "settings/profile_store.h"
#include "settings/settings_record.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace gradecast;
using test::TempFolder;

namespace {

// The program's folder for one test, with XDG_CONFIG_HOME (none when empty) and HOME.
struct Place {
    Place(const std::string &config, const std::string &home)
    {
        config.empty() ? ::unsetenv("XDG_CONFIG_HOME")
                       : ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        ::setenv("HOME", home.c_str(), 1);
        OverrideSettingsFolder(program.path());
    }
    ~Place() { OverrideSettingsFolder(std::nullopt); }
    TempFolder program;
};

} // namespace

TEST(SettingsPath, BesideTheProgramWhenItsFileIsThereOrItsFolderCanBeWritten)
{
    if (::geteuid() == 0)
        return test::runAsNobody();
    const std::filesystem::path inHome = "/home/t/.config/gradecast/GRADECAST.INI";
    const struct {
        const char *what;
        bool oldFile;
        mode_t folderMode;
        const char *config;
        std::filesystem::path expected; // empty: beside the program
    } cases[] = {
        {"a folder of its own", false, 0755, "/cfg", ""},
        {"a file left in a folder it cannot write", true, 0555, "/cfg", ""},
        {"installed", false, 0555, "/cfg", "/cfg/gradecast/GRADECAST.INI"},
        {"installed, no XDG_CONFIG_HOME", false, 0555, "", inHome},
        {"installed, XDG_CONFIG_HOME not absolute", false, 0555, "cfg", inHome},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Place place(c.config, "/home/t");
        if (c.oldFile)
            test::writeBytes(place.program.file(), "[GRADECAST]\r\n");
        ASSERT_EQ(::chmod(place.program.path().c_str(), c.folderMode), 0);
        EXPECT_EQ(SettingsFilePath(), c.expected.empty() ? place.program.file() : c.expected);
    }
}

TEST(SettingsPath, TheFirstSaveCreatesTheUsersFolder)
{
    if (::geteuid() == 0)
        return test::runAsNobody();
    TempFolder home;
    Place place("", home.path().string());
    ASSERT_EQ(::chmod(place.program.path().c_str(), 0555), 0);
    const std::filesystem::path file = SettingsFilePath();
    ASSERT_EQ(file, home.path() / ".config/gradecast/GRADECAST.INI");
    ASSERT_TRUE(SaveSettings({u"http://school.example/", 0, 1, u"缺", u"A", 2}, file).ok);
    EXPECT_EQ(test::readBytes(file), "[GRADECAST]\r\nURL=http://school.example/\r\nUSEENTER=0\r\n"
                                     "USETAB=1\r\nABSENT=\xaf\xca\r\nSCORE100=A\r\n");

    // A home the user cannot write in: the save says why and leaves nothing.
    ASSERT_EQ(::chmod(home.path().c_str(), 0555), 0);
    ::setenv("XDG_CONFIG_HOME", (home.path() / "other").c_str(), 1);
    const ProfileWriteResult result = SaveSettings({}, SettingsFilePath());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("Permission denied"), std::string::npos) << result.error;
    EXPECT_EQ(home.listing(), ".config");
}
