#include "entry/keystroke_script.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace gradecast {
namespace {

// The three option sets of the five-line worked example.
const FillOptions A{u"-1", u"", 0, true, false};
const FillOptions B{u"-1", u"", 1, true, false};
const FillOptions C{u"-1", u"A+", 1, false, true};

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
        {u"\r\n", u""},         {u"85\r\n\r\n\r\n", u"85"}, {u"\r\n85", u"\r\n85"},
        {u"85\t", u"85\t"},     {u"85\r", u"85\r"},         {u"85\n\r\n", u"85\n"},
        {u"85\r\r\n", u"85\r"},
    };
    for (const auto &[text, trimmed] : cases)
        EXPECT_EQ(TrimTrailingLineEnds(text), trimmed) << testing::PrintToString(text);
}

TEST(ScriptEntries, SplitsAtCrLfCrAndTab)
{
    using Entries = std::vector<std::u16string_view>;
    const std::vector<std::pair<std::u16string, Entries>> cases = {
        {u"", {}},
        {u"85\r\n90", {u"85", u"90"}},
        {u"85\r90", {u"85", u"90"}}, // a lone CR keeps the digit after it
        {u"85\r\r\n90", {u"85", u"", u"90"}},
        {u"85\t\t90\t", {u"85", u"", u"90", u""}}, // a trailing TAB leaves a final empty entry
        {u"8\n5\r\n9", {u"8\n5", u"9"}},
        {u" \r\n\r\n7", {u" ", u"", u"7"}},
    };
    for (const auto &[text, entries] : cases)
        EXPECT_EQ(ScriptEntries(text), entries) << testing::PrintToString(text);
}

TEST(ScriptEntries, StopsAtSixtyEntriesWithoutReadingTheRest)
{
    const std::u16string sixty = numberedLines(60, u"\r\n");
    EXPECT_EQ(ScriptEntries(sixty).size(), 60u);
    EXPECT_EQ(ScriptEntries(numberedLines(59, u"\t") + u"\t").size(), 60u);
    const std::u16string sixtyOne = numberedLines(61, u"\r\n");
    ASSERT_EQ(ScriptEntries(sixtyOne).size(), 60u);
    EXPECT_EQ(ScriptEntries(sixtyOne).back(), u"60");
    EXPECT_EQ(BuildKeystrokeScript(sixtyOne, A), BuildKeystrokeScript(sixty, A));

    const std::u16string paste = sixty + u"\r\n" + std::u16string(10'000'000, u'9');
    const auto start = std::chrono::steady_clock::now();
    for (int run = 0; run < 1000; ++run)
        ASSERT_EQ(ScriptEntries(paste).size(), 60u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(BuildKeystrokeScript, WorkedExampleFiveLinesUnderThreeOptionSets)
{
    const std::u16string text = TrimTrailingLineEnds(u"85\r\n\r\n100\r\n92.5\r\n7\r\n");
    EXPECT_EQ(text, u"85\r\n\r\n100\r\n92.5\r\n7");

    EXPECT_EQ(joined(BuildKeystrokeScript(text, A)),
              u"{ } {8} {5} {TAB} "
              u"{-} {1} {TAB} "
              u"{ } {1} {0} {0} {TAB} "
              u"{ } {9} {3} {TAB} "
              u"{ } {7} {TAB}");
    EXPECT_EQ(joined(BuildKeystrokeScript(text, B)),
              u"{ } {8} {5} {TAB} "
              u"{-} {1} {TAB} "
              u"{ } {1} {0} {0} {TAB} "
              u"{ } {9} {2} {.} {5} {TAB} "
              u"{ } {7} {TAB}");
    EXPECT_EQ(joined(BuildKeystrokeScript(text, C)),
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

TEST(BuildKeystrokeScript, SeparatorKeysFollowEveryEntryTabFirst)
{
    // The absent entry in the middle is empty: it types its separators alone.
    EXPECT_EQ(joined(BuildKeystrokeScript(u"7\t\t8", {u"", u"", 0, true, true})),
              u"{ } {7} {TAB} {Enter} {TAB} {Enter} { } {8} {TAB} {Enter}");
    EXPECT_EQ(joined(BuildKeystrokeScript(u"7\t\t8", {u"", u"", 0, false, false})),
              u"{ } {7} { } {8}");
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

TEST(EntryTypedText, RoundsReplacesAndStaysWithinTheDoubleRange)
{
    struct Case {
        std::u16string entry;
        std::u16string score100;
        std::int16_t decimals;
        std::u16string typed;
    };
    const std::u16string largest = u"1.79769313486232E+308";
    const Case cases[] = {
        {u"", u"A+", 2, u"absent"},
        {u"0.5", u"", 0, u" 1"},
        {u"-2.5", u"", 0, u"-2"},
        {u"-2.6", u"", 0, u"-3"},
        {u"-0.5", u"", 0, u" 0"},
        {u"85.456", u"", 2, u" 85.46"},
        {u"85.456", u"", -1, u" 85"},
        {u"99.49", u"A+", 1, u"99"},
        {u"3", u"A+", 2, u"03"},
        // Rounding to the decimals would leave the range of a double: whole numbers.
        {u"85.4", u"", 309, u" 85"},
        {u"2.4", u"", 308, u" 2"},
        {u"1E-10", u"", 308, u" 1E-10"},
        {u"1E400", u"", 0, u" " + largest},
        {u"-1E400", u"A+", 0, u"-" + largest},
    };
    for (const Case &c : cases) {
        const FillOptions options{u"absent", c.score100, c.decimals, false, false};
        EXPECT_EQ(EntryTypedText(c.entry, options), c.typed)
            << testing::PrintToString(c.entry) << " decimals " << c.decimals;
    }
}

} // namespace
} // namespace gradecast
