// gradecast-keys starts from the program's own settings file when it is not
// given one, as the window would.

#include "settings/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

TEST(GradecastKeysSettings, ReadsTheProgramsSettingsFileByDefault)
{
    const gradecast::test::TempFolder folder;
    const std::filesystem::path program = folder.path() / "gradecast-keys";
    std::filesystem::copy_file(GRADECAST_KEYS_EXE, program);
    gradecast::test::writeBytes(folder.file(), "[GRADECAST]\r\nUSETAB=1\r\nABSENT=x\r\n");
    const std::filesystem::path out = folder.path() / "out";
    const std::string command =
        "printf '85\\n\\n90' | '" + program.string() + "' > '" + out.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(gradecast::test::readBytes(out),
              "{ }\n{8}\n{5}\n{TAB}\n{x}\n{TAB}\n{ }\n{9}\n{0}\n{TAB}\n");
}
