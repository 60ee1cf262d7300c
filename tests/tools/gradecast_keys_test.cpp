// gradecast-keys run as a user runs it: a real process, real files.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class GradecastKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path()
            / ("gradecast-keys-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path write(const std::string &name, const std::string &bytes)
    {
        const fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string slurp(const fs::path &path)
    {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    // Runs the tool with the given arguments and bytes on standard input.
    ToolRun run(const std::vector<std::string> &arguments, const std::string &input = "")
    {
        std::string command = "'" GRADECAST_KEYS_EXE "'";
        for (const std::string &argument : arguments)
            command += " '" + argument + "'";
        const fs::path in = write("stdin", input);
        command += " < '" + in.string() + "' > '" + (m_dir / "stdout").string() + "' 2> '"
            + (m_dir / "stderr").string() + "'";
        ToolRun result;
        const int raw = std::system(command.c_str());
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = slurp(m_dir / "stdout");
        result.err = slurp(m_dir / "stderr");
        return result;
    }

    fs::path m_dir;
};

std::string lines(const std::vector<std::string> &strings)
{
    std::string out;
    for (const std::string &s : strings)
        out += s + "\n";
    return out;
}

TEST_F(GradecastKeys, PrintsTheScriptOfAColumn)
{
    const ToolRun r = run({"--absent", "-1", "--tab"}, "85\r\n\r\n100\r\n92.5\r\n7\r\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, lines({"{ }", "{8}", "{5}", "{TAB}", "{-}", "{1}", "{TAB}", "{ }", "{1}",
                            "{0}", "{0}", "{TAB}", "{ }", "{9}", "{3}", "{TAB}", "{ }", "{7}",
                            "{TAB}"}));

    // Trimmed of spaces like the boxes; a score of 100 and two digits.
    const ToolRun c = run({"--absent", " -1 ", "--score100", " A+ ", "--decimal", "1", "--enter"},
                      "85\r\n\r\n100\r\n92.5\r\n7\r\n");
    EXPECT_EQ(c.out, lines({"{8}", "{5}", "{Enter}", "{-}", "{1}", "{Enter}", "{A}", "{+}",
                            "{Enter}", "{9}", "{3}", "{Enter}", "{0}", "{7}", "{Enter}"}));
}

TEST_F(GradecastKeys, LineEndsBecomeThoseOfTheScoreBoxUnlessRaw)
{
    const std::string expected = lines({"{ }", "{8}", "{5}", "{TAB}", "{TAB}", "{ }", "{9}",
                                        "{0}", "{TAB}"});
    EXPECT_EQ(run({"--tab"}, "85\n\n90\n\n\n").out, expected);
    EXPECT_EQ(run({"--tab", "-"}, "85\r\r90").out, expected);
    EXPECT_EQ(run({"--tab"}, "85\r\n\r\n90\r\n").out, expected);

    // Taken as read, LF does not end an entry and is ignored inside the number.
    EXPECT_EQ(run({"--tab", "--raw"}, "85\n90").out, lines({"{ }", "{8}", "{5}", "{9}", "{0}",
                                                           "{TAB}"}));
    // A file argument, UTF-8 in and out.
    const fs::path scores = write("scores.txt", "\n7\n");
    EXPECT_EQ(run({"--absent=缺", "--enter", scores.string()}).out,
              lines({"{缺}", "{Enter}", "{ }", "{7}", "{Enter}"}));
}

TEST_F(GradecastKeys, StartsFromASettingsFileAsAWindowWould)
{
    // Big5: 缺 is AF CA. Both flags set: the Tab box wins. SCORE100 keeps its
    // quoted blank in the file but the box trims it away.
    const fs::path ini = write("GRADECAST.INI",
                               "[GRADECAST]\r\nURL=http://x\r\nUSEENTER=1\r\nUSETAB=1\r\n"
                               "ABSENT=\xAF\xCA\r\nSCORE100=\"A+ \"\r\nDECIMAL=2\r\n");
    const std::string column = "\r\n100\r\n";
    EXPECT_EQ(run({"--settings", ini.string()}, column).out,
              lines({"{缺}", "{TAB}", "{A}", "{+}", "{TAB}"}));
    // Explicit options win; --enter alone clears the Tab box.
    EXPECT_EQ(run({"--settings", ini.string(), "--enter", "--score100", ""}, "85.456").out,
              lines({"{ }", "{8}", "{5}", "{.}", "{4}", "{6}", "{Enter}"}));
}

TEST_F(GradecastKeys, CheckWarnsAboutEntriesNotTypedAsTheyStand)
{
    const ToolRun warned = run({"--check", "--tab"}, "國文\n8O\n");
    EXPECT_EQ(warned.status, 3);
    EXPECT_EQ(warned.err, "第 1 筆「國文」不是數字，會輸入 0。\n第 2 筆「8O」會輸入 8\n");
    EXPECT_EQ(warned.out, lines({"{ }", "{0}", "{TAB}", "{ }", "{8}", "{TAB}"}));

    std::string seventy;
    for (int i = 0; i < 70; ++i)
        seventy += "85\n";
    const ToolRun tooMany = run({"--check"}, seventy);
    EXPECT_EQ(tooMany.status, 3);
    EXPECT_EQ(tooMany.err, "只會填入前 60 筆，另有 10 筆這次不會填入。\n");

    const ToolRun clean = run({"--check"}, "85\n\n90\n");
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.err, "");
}

TEST_F(GradecastKeys, BadInputIsRefusedWithOneLineAndNoOutput)
{
    const std::vector<std::vector<std::string>> refused = {
        {"--bogus"},
        {"--decimal", "40000"},
        {"--decimal", "1.5"},
        {"--decimal"},
        {"--tab=yes"},
        {(m_dir / "missing.txt").string()},
        {m_dir.string()},
        {"--settings", (m_dir / "missing.ini").string()},
        {"a.txt", "b.txt"},
    };
    for (const auto &arguments : refused) {
        const ToolRun r = run(arguments, "85\r\n");
        EXPECT_EQ(r.status, 2) << arguments.front();
        EXPECT_EQ(r.out, "") << arguments.front();
        ASSERT_FALSE(r.err.empty()) << arguments.front();
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }

    const ToolRun junk = run({}, "85\r\n\xff\xfe");
    EXPECT_EQ(junk.status, 2);
    EXPECT_EQ(junk.out, "");
    EXPECT_NE(junk.err.find("UTF-8"), std::string::npos);

    const ToolRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: gradecast-keys"), std::string::npos);
}

} // namespace
