// Where the settings file lives, with real folders and permissions; as root
// (who may write anywhere) each test runs again as the user nobody.

#include "settings/profile_store.h"
#include "settings/settings_record.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace gradecast;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

namespace {

// Runs the current test as nobody, from a copy of this program that nobody may run.
void runAsNobody()
{
    const passwd *nobody = ::getpwnam("nobody");
    if (!nobody)
        GTEST_SKIP() << "no user nobody here to run the test as";
    TempFolder copy;
    const std::filesystem::path program = copy.path() / "settings_tests";
    std::filesystem::permissions(copy.path(), std::filesystem::perms(0755));
    std::filesystem::copy_file("/proc/self/exe", program);
    const std::string command = "setpriv --reuid=" + std::to_string(nobody->pw_uid) + " --regid="
        + std::to_string(nobody->pw_gid) + " --clear-groups '" + program.string()
        + "' --gtest_filter=SettingsPath."
        + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    EXPECT_EQ(std::system(command.c_str()), 0) << "failed as nobody (see above): " << command;
}

// Sets XDG_CONFIG_HOME and HOME for one test and gives the program a folder.
class Place {
public:
    Place(std::optional<std::string> config, const std::string &home)
    {
        config ? ::setenv("XDG_CONFIG_HOME", config->c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
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
        return runAsNobody();
    enum Where { Beside, Config, Home };
    struct Case {
        const char *what;
        bool oldFile;
        mode_t folderMode;
        std::optional<std::string> config;
        Where expected;
    };
    const Case cases[] = {
        {"a folder of its own", false, 0755, "/cfg", Beside},
        {"its own folder with a file", true, 0755, "/cfg", Beside},
        {"a file left in a folder it cannot write", true, 0555, "/cfg", Beside},
        {"installed", false, 0555, "/cfg", Config},
        {"installed, no XDG_CONFIG_HOME", false, 0555, std::nullopt, Home},
        {"installed, XDG_CONFIG_HOME not absolute", false, 0555, "cfg", Home},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Place place(c.config, "/home/t");
        if (c.oldFile)
            writeBytes(place.program.file(), "[GRADECAST]\r\n");
        ASSERT_EQ(::chmod(place.program.path().c_str(), c.folderMode), 0);
        const std::filesystem::path expected[] = {
            place.program.file(), "/cfg/gradecast/GRADECAST.INI",
            "/home/t/.config/gradecast/GRADECAST.INI"};
        EXPECT_EQ(SettingsFilePath(), expected[c.expected]);
    }
}

TEST(SettingsPath, TheFirstSaveCreatesTheUsersFolder)
{
    if (::geteuid() == 0)
        return runAsNobody();
    TempFolder home;
    Place place(std::nullopt, home.path().string());
    ASSERT_EQ(::chmod(place.program.path().c_str(), 0555), 0);
    const std::filesystem::path file = home.path() / ".config/gradecast/GRADECAST.INI";
    ASSERT_EQ(SettingsFilePath(), file);

    ASSERT_TRUE(SaveSettings({u"http://school.example/", 0, 1, u"缺", u"A", 2}, file).ok);
    EXPECT_EQ(readBytes(file), "[GRADECAST]\r\nURL=http://school.example/\r\nUSEENTER=0\r\n"
                               "USETAB=1\r\nABSENT=\xaf\xca\r\nSCORE100=A\r\n");
    SettingsRecord back;
    LoadSettings(back, SettingsFilePath());
    EXPECT_EQ(back.AbsentText, u"缺");
    EXPECT_EQ(place.program.listing(), "");

    // A home the user cannot write in: the save says why and leaves nothing.
    ASSERT_EQ(::chmod(home.path().c_str(), 0555), 0);
    ::setenv("XDG_CONFIG_HOME", (home.path() / "other").c_str(), 1);
    const ProfileWriteResult result = SaveSettings({}, SettingsFilePath());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("Permission denied"), std::string::npos) << result.error;
    EXPECT_EQ(home.listing(), ".config");
}
