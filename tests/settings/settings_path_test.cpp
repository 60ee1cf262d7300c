#include "settings/profile_store.h"
#include "settings/settings_record.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace gradecast;
using test::TempFolder;

TEST(SettingsPath, BesideTheProgramIfItMayWriteThereElseAUsersFolderTheFirstSaveMakes)
{
    if (::geteuid() == 0)
        return test::runAsNobody();
    const std::string old = "[GRADECAST]\r\n";
    const std::string saved = "[GRADECAST]\r\nURL=http://s/\r\nUSEENTER=0\r\nUSETAB=1\r\n"
                              "ABSENT=\xaf\xca\r\nSCORE100=A\r\n";
    const std::string inHome = ".config/gradecast/GRADECAST.INI";
    const struct {
        const char *what;
        bool oldFile;
        mode_t programMode, homeMode;
        const char *config;   // XDG_CONFIG_HOME, inside the home when it starts with "/"
        std::string expected; // inside the home; empty: beside the program
        bool saves;           // else the save fails: "Permission denied"
    } cases[] = {
        {"a folder of its own", false, 0755, 0755, "/cfg", "", true},
        {"a file left in a folder it cannot write", true, 0555, 0755, "/cfg", "", false},
        {"installed", false, 0555, 0755, "/cfg", "cfg/gradecast/GRADECAST.INI", true},
        {"installed, XDG_CONFIG_HOME not absolute", false, 0555, 0755, "cfg", inHome, true},
        {"installed, no XDG_CONFIG_HOME, a home it cannot write in", false, 0555, 0555, nullptr,
         inHome, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder program;
        TempFolder home;
        OverrideSettingsFolder(program.path());
        ::setenv("HOME", home.path().c_str(), 1);
        std::string config = c.config ? c.config : "";
        if (config.starts_with('/'))
            config.insert(0, home.path().string());
        c.config ? ::setenv("XDG_CONFIG_HOME", config.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
        if (c.oldFile)
            test::writeBytes(program.file(), old);
        ASSERT_EQ(::chmod(program.path().c_str(), c.programMode), 0);
        ASSERT_EQ(::chmod(home.path().c_str(), c.homeMode), 0);

        const std::filesystem::path file = SettingsFilePath();
        EXPECT_EQ(file, c.expected.empty() ? program.file() : home.path() / c.expected);
        const ProfileWriteResult result = SaveSettings({u"http://s/", 0, 1, u"缺", u"A", 2}, file);
        EXPECT_EQ(result.ok, c.saves) << result.error;
        EXPECT_EQ(result.error.find("Permission denied") != std::string::npos, !c.saves);
        EXPECT_EQ(test::readBytes(file), c.saves ? saved : c.oldFile ? old : "");
        OverrideSettingsFolder(std::nullopt);
    }
}
