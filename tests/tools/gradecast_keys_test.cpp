// gradecast-keys run as a user runs it: a real process, real files.

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

using gradecast::test::readBytes;
using gradecast::test::writeBytes;

struct ToolRun {
    int status = -1;
    std::string out, err;
};

class GradecastKeys : public ::testing::Test {
protected:
    std::string write(const std::string &name, const std::string &bytes)
    {
        writeBytes(m_folder.path() / name, bytes);
        return m_folder.path() / name;
    }

    // Runs the tool in the test's folder with the arguments and bytes on standard input.
    ToolRun run(const std::vector<std::string> &arguments, const std::string &input = "",
                const std::string &program = GRADECAST_KEYS_EXE)
    {
        write("stdin", input);
        std::string command = "cd '" + m_folder.path().string() + "' && '" + program + "'";
        for (const std::string &argument : arguments)
            command += " '" + argument + "'";
        const int raw = std::system((command + " <stdin >stdout 2>stderr").c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(m_folder.path() / "stdout"),
                readBytes(m_folder.path() / "stderr")};
    }

    gradecast::test::TempFolder m_folder;
};

TEST_F(GradecastKeys, LineEndsBecomeThoseOfTheScoreBoxUnlessRaw)
{
    const std::string expected = "{ }\n{8}\n{5}\n{TAB}\n{TAB}\n{ }\n{9}\n{0}\n{TAB}\n";
    EXPECT_EQ(run({"--tab"}, "85\n\n90\n\n\n").out, expected);
    EXPECT_EQ(run({"--tab", "-"}, "85\r\r90").out, expected);
    EXPECT_EQ(run({"--tab"}, "85\r\n\r\n90\r\n").out, expected);
    // Taken as read, LF does not end an entry and is ignored inside the number.
    EXPECT_EQ(run({"--tab", "--raw"}, "85\n90").out, "{ }\n{8}\n{5}\n{9}\n{0}\n{TAB}\n");
    // A file argument, UTF-8 in and out; options trimmed of blanks as the boxes are.
    const ToolRun r = run({"--absent", " 缺 ", "--score100", " A+ ", "--enter",
                           write("scores.txt", "\n7\n100")});
    EXPECT_EQ(std::tuple(r.status, r.err, r.out),
              std::tuple(0, std::string(), "{缺}\n{Enter}\n{0}\n{7}\n{Enter}\n{A}\n{+}\n{Enter}\n"));
}

TEST_F(GradecastKeys, StartsFromASettingsFileAsAWindowWould)
{
    // Big5: 缺 is AF CA. Both flags set: the Tab box wins. SCORE100 keeps its
    // quoted blank in the file but the box trims it away.
    const std::string ini = write("GRADECAST.INI",
                                  "[GRADECAST]\r\nURL=http://x\r\nUSEENTER=1\r\nUSETAB=1\r\n"
                                  "ABSENT=\xAF\xCA\r\nSCORE100=\"A+ \"\r\nDECIMAL=2\r\n");
    EXPECT_EQ(run({"--settings", ini}, "\r\n100\r\n").out, "{缺}\n{TAB}\n{A}\n{+}\n{TAB}\n");
    // Explicit options win; --enter alone clears the Tab box.
    EXPECT_EQ(run({"--settings", ini, "--enter", "--score100", ""}, "85.456").out,
              "{ }\n{8}\n{5}\n{.}\n{4}\n{6}\n{Enter}\n");
    // Without --settings, the file beside the program, not the one in the working folder.
    std::filesystem::create_directory(m_folder.path() / "bin");
    std::filesystem::copy_file(GRADECAST_KEYS_EXE, m_folder.path() / "bin/gradecast-keys");
    write("bin/GRADECAST.INI", "[GRADECAST]\r\nUSETAB=1\r\nABSENT=x\r\n");
    EXPECT_EQ(run({}, "85\n\n90", m_folder.path() / "bin/gradecast-keys").out,
              "{ }\n{8}\n{5}\n{TAB}\n{x}\n{TAB}\n{ }\n{9}\n{0}\n{TAB}\n");
}

TEST_F(GradecastKeys, CheckSaysWhatARunWouldNotTypeAsItStandsAndExitsThree)
{
    const ToolRun warned = run({"--check", "--tab", "--decimal", "0"}, "國文\n87.5\n");
    EXPECT_EQ(warned.status, 3);
    EXPECT_EQ(warned.err, "第 1 筆「國文」不是數字，會輸入 0。\n"
                          "有 1 筆含小數，會四捨五入：87.5 → 88。（設定檔 DECIMAL 可保留小數）\n");
    EXPECT_EQ(warned.out, "{ }\n{0}\n{TAB}\n{ }\n{8}\n{8}\n{TAB}\n");
    const ToolRun clean = run({"--check", "--decimal", "1"}, "87.5\n\n90\n");
    EXPECT_EQ(std::pair(clean.status, clean.err), std::pair(0, std::string()));
}

TEST_F(GradecastKeys, BadInputIsRefusedWithOneLineAndNoOutput)
{
    const std::string folder = m_folder.path().string();
    const std::vector<std::vector<std::string>> refused = {
        {"--bogus"}, {"--decimal", "40000"}, {"--decimal", "1x"}, {"--decimal"}, {"--tab=yes"},
        {folder + "/missing.txt"}, {folder}, {"--settings", folder + "/missing.ini"},
        {"a.txt", "b.txt"},
    };
    for (const auto &arguments : refused) {
        const ToolRun r = run(arguments, "85\r\n");
        EXPECT_EQ(std::tuple(r.status, r.out, std::count(r.err.begin(), r.err.end(), '\n')),
                  std::tuple(2, "", 1))
            << arguments.front() << ": " << r.err;
    }
    const ToolRun junk = run({}, "85\r\n\xff\xfe");
    EXPECT_EQ(std::pair(junk.status, junk.out), std::pair(2, std::string()));
    EXPECT_NE(junk.err.find("UTF-8"), std::string::npos) << junk.err;

    const ToolRun help = run({"--help"});
    EXPECT_TRUE(help.status == 0 && help.out.starts_with("Usage: gradecast-keys")) << help.out;
}

TEST_F(GradecastKeys, ColumnsOfASpreadsheetTypeAsTheirLinesPastedWould)
{
    const std::string xlsx = SHEET_FILES_DIR "/scores.xlsx";
    // The last student has no first score: the line is dropped, as a paste drops it.
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{"--column", "第一次段考"}, "85\n\n92\n"},
        {{"--column", " c "}, "85\n\n92\n"},
        {{"--column", "第二次段考", "--column", "座號"}, "1\t90\n2\t88\n3\t70\n4\t60\n"},
        {{"--sheet", "一年四班", "--column", "成績"}, "77\n"},
    };
    for (auto [arguments, pasted] : rows) {
        arguments.insert(arguments.begin(), "--tab");
        arguments.push_back(xlsx);
        const ToolRun r = run(arguments);
        EXPECT_EQ(std::tuple(r.status, r.err, r.out), std::tuple(0, "", run({"--tab"}, pasted).out))
            << arguments[2];
    }
}

TEST_F(GradecastKeys, ASpreadsheetsMissingColumnOrSheetIsNamedWithWhatThereIs)
{
    const std::string xlsx = SHEET_FILES_DIR "/scores.xlsx";
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--column", "期末考", xlsx}, "\"期末考\" in sheet \"一年三班\"; its headers are \"座號\", "},
        {{"--sheet", "一年五班", "--column", "A", xlsx}, "the sheets are \"一年三班\", \"一年四班\""},
        {{"--sheet", "一年四班", xlsx}, "--sheet needs --column"},
        {{"--column", "A"}, "not standard input"},
        {{"--column", "A", write("notes.xlsx", std::string("PK\3\4\0\0", 6))}, "notes.xlsx: "},
    };
    for (const auto &[arguments, told] : refused) {
        const ToolRun r = run(arguments);
        EXPECT_EQ(std::tuple(r.status, r.out, std::count(r.err.begin(), r.err.end(), '\n')),
                  std::tuple(2, "", 1))
            << r.err;
        EXPECT_NE(r.err.find(told), std::string::npos) << r.err;
    }
}

} // namespace
