#include "settings/ini_text.h"

#include <gtest/gtest.h>

using namespace gradecast;

namespace {

struct ReadCase {
    const char *what;
    std::string content;
    std::string section;
    std::string key;
    std::optional<std::string> value;
};

void expectReads(const std::vector<ReadCase> &cases)
{
    for (const ReadCase &c : cases) {
        const std::optional<std::string_view> value = iniValue(c.content, c.section, c.key);
        EXPECT_EQ(value ? std::optional<std::string>(*value) : std::nullopt, c.value) << c.what;
    }
}

struct WriteCase {
    const char *what;
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

void expectWrites(const std::vector<WriteCase> &cases)
{
    for (const WriteCase &c : cases)
        EXPECT_EQ(iniWithValue(c.before, c.section, c.key, c.value), c.after) << c.what;
}

} // namespace

TEST(IniRead, TrimsAndUnquotesValues)
{
    expectReads({
        {"blanks around", "[GRADECAST]\r\nURL=   abc   \r\n", "GRADECAST", "URL", "abc"},
        {"tabs around", "[GRADECAST]\r\nURL=\t abc\t\r\n", "GRADECAST", "URL", "abc"},
        {"inner blanks stay", "[G]\r\nK= a  b \r\n", "G", "K", "a  b"},
        {"double quotes", "[G]\r\nK=\"  ab  \"\r\n", "G", "K", "  ab  "},
        {"single quotes", "[G]\r\nK= '  ab  ' \r\n", "G", "K", "  ab  "},
        {"unmatched quotes", "[G]\r\nK=\"ab'\r\n", "G", "K", "\"ab'"},
        {"quote at one end", "[G]\r\nK=\"ab\r\n", "G", "K", "\"ab"},
        {"lone quote", "[G]\r\nK=\"\r\n", "G", "K", "\""},
        {"empty value", "[G]\r\nK=\r\n", "G", "K", ""},
        {"later = belongs to value", "[G]\r\nK=a=b\r\n", "G", "K", "a=b"},
    });
}

TEST(IniRead, MatchesNamesLikeWindows)
{
    expectReads({
        {"lower-case section", "[gradecast]\r\nURL=a\r\n", "GRADECAST", "URL", "a"},
        {"mixed-case key", "[GRADECAST]\r\nUrl=a\r\n", "GRADECAST", "URL", "a"},
        {"blanks around names", " [ GRADECAST ] \r\n\t URL \t= a\r\n", "GRADECAST", "URL", "a"},
        {"other key", "[G]\r\nURLS=a\r\n", "G", "URL", std::nullopt},
        {"name ends at first ]", "[G]x]\r\nK=a\r\n", "G", "K", "a"},
        {"no ]", "[G\r\nK=a\r\n", "G", "K", "a"},
        // Trail bytes are no letters and no brackets: 乙 is A4 41, 兀 is A4 61, 也 is A4 5D.
        {"Big5 not case-folded", "[\xA4\x41]\r\nK=a\r\n", "\xA4\x61", "K", std::nullopt},
        {"trail byte ]", "[\xA4\x5D]\r\nK=a\r\n", "\xA4\x5D", "K", "a"},
    });
}

TEST(IniRead, SkipsWhatIsNoKeyOfTheSection)
{
    expectReads({
        {"comment", "[G]\r\n;K=a\r\n", "G", "K", std::nullopt},
        {"indented comment", "[G]\r\n  ;K=a\r\nK=b\r\n", "G", "K", "b"},
        {"# is no comment", "[G]\r\n#K=a\r\n", "G", "#K", "a"},
        {"before any section", "K=a\r\n[G]\r\n", "G", "K", std::nullopt},
        {"no =", "[G]\r\nK\r\nK=b\r\n", "G", "K", "b"},
        {"first key wins", "[G]\r\nK=a\r\nk=b\r\n", "G", "K", "a"},
        {"first section only", "[G]\r\nA=1\r\n[O]\r\n[g]\r\nK=b\r\n", "G", "K", std::nullopt},
        {"first section wins", "[G]\r\nK=a\r\n[G]\r\nK=b\r\n", "G", "K", "a"},
    });
}

TEST(IniRead, AcceptsEveryLineEnd)
{
    expectReads({
        {"LF", "[G]\nA=1\nK=a\nB=2\n", "G", "K", "a"},
        {"CR", "[G]\rA=1\rK=a\rB=2\r", "G", "K", "a"},
        {"no final line end", "[G]\r\nK=a", "G", "K", "a"},
        {"CR CR LF", "[G]\r\r\nK=a\r\r\n", "G", "K", "a"},
    });
}

TEST(IniWrite, CreatesFileAndSection)
{
    expectWrites({
        {"empty file", "", "GRADECAST", "URL", "x", "[GRADECAST]\r\nURL=x\r\n"},
        {"after other sections", "[O]\r\nA=1\r\n\r\n", "G", "K", "v",
         "[O]\r\nA=1\r\n\r\n[G]\r\nK=v\r\n"},
        {"last line without end", "[O]\r\nA=1", "G", "K", "v", "[O]\r\nA=1\r\n[G]\r\nK=v\r\n"},
        {"LF file", "[O]\nA=1\n", "G", "K", "v", "[O]\nA=1\n[G]\r\nK=v\r\n"},
        {"key outside sections is not it", "K=a\r\n", "G", "K", "b", "K=a\r\n[G]\r\nK=b\r\n"},
    });
}

TEST(IniWrite, ReplacesAValueInItsLine)
{
    expectWrites({
        {"same line", "[G]\r\nA=1\r\nK=old\r\nB=2\r\n", "G", "K", "new",
         "[G]\r\nA=1\r\nK=new\r\nB=2\r\n"},
        {"spelling and blanks before = stay", "[g]\n  url \t= old  \n", "G", "URL", "new",
         "[g]\n  url \t=new\n"},
        {"last line without end", "[G]\r\nK=a", "G", "K", "b", "[G]\r\nK=b"},
        {"CR line end stays", "[G]\rK=a\rB=1\r", "G", "K", "b", "[G]\rK=b\rB=1\r"},
        {"first of two", "[G]\r\nK=a\r\nK=b\r\n", "G", "K", "c", "[G]\r\nK=c\r\nK=b\r\n"},
        {"first section", "[G]\r\nK=a\r\n[G]\r\nK=b\r\n", "G", "K", "c",
         "[G]\r\nK=c\r\n[G]\r\nK=b\r\n"},
    });
}

TEST(IniWrite, AddsAKeyAfterTheLastEntryOfItsSection)
{
    expectWrites({
        {"before trailing blank and comment lines", "[G]\r\nA=1\r\n\r\n;note\r\n[O]\r\nX=1\r\n",
         "G", "K", "v", "[G]\r\nA=1\r\nK=v\r\n\r\n;note\r\n[O]\r\nX=1\r\n"},
        {"comment between entries stays before", "[G]\r\nA=1\r\n;note\r\nB=2\r\n\r\n", "G", "K",
         "v", "[G]\r\nA=1\r\n;note\r\nB=2\r\nK=v\r\n\r\n"},
        {"section without entries", "[G]\r\n;note\r\n[O]\r\n", "G", "K", "v",
         "[G]\r\nK=v\r\n;note\r\n[O]\r\n"},
        {"header is the last line", "[G]", "G", "K", "v", "[G]\r\nK=v\r\n"},
        {"a line without = is an entry", "[G]\nA\n\n", "G", "A", "v", "[G]\nA\nA=v\r\n\n"},
        {"into the first of two sections", "[G]\r\nA=1\r\n[G]\r\nB=1\r\n", "G", "K", "v",
         "[G]\r\nA=1\r\nK=v\r\n[G]\r\nB=1\r\n"},
    });
}
