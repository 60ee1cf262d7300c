#include "entry/keystroke_script.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace gradecast {
namespace {

FillOptions optionsA()
{
    return {u"-1", u"", 0, true, false};
}

FillOptions optionsB()
{
    return {u"-1", u"", 1, true, false};
}

FillOptions optionsC()
{
    return {u"-1", u"A+", 1, false, true};
}

// The script as one line, one blank between strings, as the worked examples read.
std::u16string joined(const KeystrokeScript &script)
{
    std::u16string line;
    for (const std::u16string &keys : script)
        line += (line.empty() ? u"" : u" ") + keys;
    return line;
}

std::u16string numberedLines(int count, std::u16string_view lineEnd)
{
    std::u16string text;
    for (int i = 1; i <= count; ++i) {
        const std::string number = std::to_string(i);
        text += std::u16string(number.begin(), number.end());
        if (i < count)
            text += lineEnd;
    }
    return text;
}

TEST(TrimTrailingLineEnds, RemovesOnlyTrailingCrLfPairs)
{
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"", u""},
        {u"\r\n", u""},
        {u"\r\n\r\n", u""},
        {u"85\r\n", u"85"},
        {u"85\r\n\r\n\r\n", u"85"},
        {u"85\r\n7", u"85\r\n7"},
        {u"85\t", u"85\t"},
        {u"85\r", u"85\r"},
        {u"85\n", u"85\n"},
        {u"85\n\r\n", u"85\n"},
        {u"85\r\r\n", u"85\r"},
        {u" \r\n", u" "},
        {u"\r\n85", u"\r\n85"},
    };
    for (const auto &[text, trimmed] : cases)
        EXPECT_EQ(TrimTrailingLineEnds(text), trimmed) << testing::PrintToString(text);
}

TEST(ScriptEntries, SplitsAtCrLfCrAndTab)
{
    using Entries = std::vector<std::u16string_view>;
    const std::vector<std::pair<std::u16string, Entries>> cases = {
        {u"", {}},
        {u"85", {u"85"}},
        {u"85\r\n90", {u"85", u"90"}},
        {u"85\r90", {u"85", u"90"}}, // a lone CR keeps the digit after it
        {u"85\r\r\n90", {u"85", u"", u"90"}},
        {u"85\t\t90\t", {u"85", u"", u"90", u""}},
        {u"85\r", {u"85", u""}},
        {u"8\n5\r\n9", {u"8\n5", u"9"}},
        {u" \r\n\r\n7", {u" ", u"", u"7"}},
        {u"\t", {u"", u""}},
    };
    for (const auto &[text, entries] : cases)
        EXPECT_EQ(ScriptEntries(text), entries) << testing::PrintToString(text);
}

TEST(ScriptEntries, StopsAtSixtyEntries)
{
    const std::u16string sixtyOne = numberedLines(61, u"\r\n");
    ASSERT_EQ(ScriptEntries(sixtyOne).size(), 60u);
    EXPECT_EQ(ScriptEntries(sixtyOne).back(), u"60");

    const std::u16string sixty = numberedLines(60, u"\r\n");
    ASSERT_EQ(ScriptEntries(sixty).size(), 60u);
    EXPECT_EQ(ScriptEntries(sixty).back(), u"60");

    EXPECT_EQ(ScriptEntries(numberedLines(60, u"\t") + u"\t").size(), 60u);
    EXPECT_EQ(ScriptEntries(numberedLines(59, u"\t") + u"\t").size(), 60u);

    const FillOptions options = optionsA();
    EXPECT_EQ(BuildKeystrokeScript(sixtyOne, options), BuildKeystrokeScript(sixty, options));
}

TEST(ScriptEntries, HugePasteCostsNoMoreThanItsFirstSixtyEntries)
{
    const std::u16string paste =
        numberedLines(60, u"\r\n") + u"\r\n" + std::u16string(10'000'000, u'9');
    const auto start = std::chrono::steady_clock::now();
    for (int run = 0; run < 1000; ++run)
        ASSERT_EQ(ScriptEntries(paste).size(), 60u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(BuildKeystrokeScript, WorkedExampleFiveLinesUnderThreeOptionSets)
{
    const std::u16string text = TrimTrailingLineEnds(u"85\r\n\r\n100\r\n92.5\r\n7\r\n");
    EXPECT_EQ(text, u"85\r\n\r\n100\r\n92.5\r\n7");

    EXPECT_EQ(joined(BuildKeystrokeScript(text, optionsA())),
              u"{ } {8} {5} {TAB} "
              u"{-} {1} {TAB} "
              u"{ } {1} {0} {0} {TAB} "
              u"{ } {9} {3} {TAB} "
              u"{ } {7} {TAB}");
    EXPECT_EQ(joined(BuildKeystrokeScript(text, optionsB())),
              u"{ } {8} {5} {TAB} "
              u"{-} {1} {TAB} "
              u"{ } {1} {0} {0} {TAB} "
              u"{ } {9} {2} {.} {5} {TAB} "
              u"{ } {7} {TAB}");
    EXPECT_EQ(joined(BuildKeystrokeScript(text, optionsC())),
              u"{8} {5} {Enter} "
              u"{-} {1} {Enter} "
              u"{A} {+} {Enter} "
              u"{9} {3} {Enter} "
              u"{0} {7} {Enter}");
}

TEST(BuildKeystrokeScript, WorkedExampleRoundingAndOddEntries)
{
    const std::u16string text = TrimTrailingLineEnds(u"99.5\r\n0.25\r\n-3\r\nabc\r\n 7 \r\n");
    FillOptions options{u"", u"", 1, false, true};
    EXPECT_EQ(joined(BuildKeystrokeScript(text, options)),
              u"{ } {9} {9} {.} {5} {Enter} "
              u"{ } {.} {3} {Enter} "
              u"{-} {3} {Enter} "
              u"{ } {0} {Enter} "
              u"{ } {7} {Enter}");

    options.Score100Text = u"A+";
    EXPECT_EQ(joined(BuildKeystrokeScript(text, options)),
              u"{A} {+} {Enter} "
              u"{0} {0} {Enter} "
              u"{-} {0} {3} {Enter} "
              u"{0} {0} {Enter} "
              u"{0} {7} {Enter}");
}

TEST(BuildKeystrokeScript, SplittingEdges)
{
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"85\t\t90\t", u"{ } {8} {5} {TAB} {-} {1} {TAB} { } {9} {0} {TAB} {-} {1} {TAB}"},
        {u"85\r90\r\n", u"{ } {8} {5} {TAB} { } {9} {0} {TAB}"},
        {u"85\r\n\r\n  \r\n90\r\n\r\n",
         u"{ } {8} {5} {TAB} {-} {1} {TAB} { } {0} {TAB} { } {9} {0} {TAB}"},
        {u"8\n5\r\n", u"{ } {8} {5} {TAB}"},
        {u"85abc\r\n8,5", u"{ } {8} {5} {TAB} { } {8} {TAB}"},
        {u"", u""},
        {u"\r\n\r\n", u""},
    };
    for (const auto &[text, script] : cases)
        EXPECT_EQ(joined(BuildKeystrokeScript(TrimTrailingLineEnds(text), optionsA())), script)
            << testing::PrintToString(text);
}

TEST(BuildKeystrokeScript, SeparatorKeysFollowEveryEntry)
{
    const std::u16string text = u"7\t\t8";
    const std::vector<std::pair<FillOptions, std::u16string>> cases = {
        {{u"", u"", 0, true, true}, u"{ } {7} {TAB} {Enter} {TAB} {Enter} { } {8} {TAB} {Enter}"},
        {{u"", u"", 0, false, false}, u"{ } {7} { } {8}"},
        {{u"", u"", 0, false, true}, u"{ } {7} {Enter} {Enter} { } {8} {Enter}"},
        {{u"x", u"", 0, false, false}, u"{ } {7} {x} { } {8}"},
    };
    for (const auto &[options, script] : cases)
        EXPECT_EQ(joined(BuildKeystrokeScript(text, options)), script);
}

TEST(BuildKeystrokeScript, WrapsEveryCharacterAloneAndSurrogatePairsWhole)
{
    const std::u16string emoji = u"\U0001F600";
    FillOptions options{u"{}+^%~()[] ", emoji + u"A", 0, false, false};
    EXPECT_EQ(joined(BuildKeystrokeScript(u"\t100", options)),
              u"{{} {}} {+} {^} {%} {~} {(} {)} {[} {]} { } {" + emoji + u"} {A}");

    const std::u16string lone(1, char16_t(0xD83D));
    options.AbsentText = lone + u"x";
    EXPECT_EQ(BuildKeystrokeScript(u"", options), KeystrokeScript{});
    EXPECT_EQ(BuildKeystrokeScript(u"\t", options),
              (KeystrokeScript{u"{" + lone + u"}", u"{x}", u"{" + lone + u"}", u"{x}"}));
}

struct TypedCase {
    std::u16string entry;
    std::u16string score100;
    std::int16_t decimals;
    std::u16string typed;
};

TEST(EntryTypedText, RoundsAndReplacesScores)
{
    const std::vector<TypedCase> cases = {
        {u"0.5", u"", 0, u" 1"},
        {u"-2.5", u"", 0, u"-2"},
        {u"-2.6", u"", 0, u"-3"},
        {u"-0.5", u"", 0, u" 0"},
        {u"150", u"", 0, u" 150"},
        {u"85.456", u"", 2, u" 85.46"},
        {u"85.456", u"", -1, u" 85"},
        {u"99.5", u"A+", 1, u"A+"},
        {u"99.49", u"A+", 1, u"99"},
        {u"3", u"A+", 2, u"03"},
        {u"0.2", u"A+", 2, u"00"},
        {u"缺", u"", 0, u" 0"},
    };
    for (const TypedCase &c : cases) {
        const FillOptions options{u"absent", c.score100, c.decimals, false, false};
        EXPECT_EQ(EntryTypedText(c.entry, options), c.typed) << testing::PrintToString(c.entry);
    }
    EXPECT_EQ(EntryTypedText(u"", FillOptions{u"absent", u"A+", 2, false, false}), u"absent");
}

TEST(EntryTypedText, RoundingBeyondTheDoubleRangeFallsBackToWholeNumbers)
{
    const std::u16string largest = u"1.79769313486232E+308";
    const std::vector<TypedCase> cases = {
        {u"85.4", u"", 309, u" 85"},
        {u"85.4", u"", 32767, u" 85"},
        {u"2.4", u"", 308, u" 2"},
        {u"1E-10", u"", 308, u" 1E-10"},
        {u"1E400", u"", 0, u" " + largest},
        {u"1E400", u"", 2, u" " + largest},
        {u"-1E400", u"", 2, u"-" + largest},
        {u"1E400", u"A+", 0, u"A+"},
        {u"-1E400", u"A+", 0, u"-" + largest},
    };
    for (const TypedCase &c : cases) {
        const FillOptions options{u"", c.score100, c.decimals, false, false};
        EXPECT_EQ(EntryTypedText(c.entry, options), c.typed)
            << testing::PrintToString(c.entry) << " decimals " << c.decimals;
    }
}

} // namespace
} // namespace gradecast
