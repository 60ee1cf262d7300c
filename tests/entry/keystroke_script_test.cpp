// Splitting, the limit, the separators and surrogate pairs: fuzz/fuzz_keystroke_script.cpp,
// against a model; here a worked example, a lone CR and the typed text of single entries.

#include "entry/keystroke_script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace gradecast {
namespace {

// The script as one line, one blank between strings, as the worked examples read.
std::u16string joined(const KeystrokeScript &script)
{
    std::u16string line;
    for (const std::u16string &keys : script)
        line += (line.empty() ? u"" : u" ") + keys;
    return line;
}

TEST(BuildKeystrokeScript, WorkedExamplesAndALoneCarriageReturn)
{
    const std::u16string five = TrimTrailingLineEnds(u"85\r\n\r\n100\r\n92.5\r\n7\r\n");
    const struct {
        std::u16string text;
        FillOptions options;
        std::u16string script;
    } cases[] = {
        {five, {u"-1", u"", 0, true, false},
         u"{ } {8} {5} {TAB} {-} {1} {TAB} { } {1} {0} {0} {TAB} { } {9} {3} {TAB} { } {7} {TAB}"},
        {five, {u"-1", u"A+", 1, false, true},
         u"{8} {5} {Enter} {-} {1} {Enter} {A} {+} {Enter} {9} {3} {Enter} {0} {7} {Enter}"},
        // After a CR only an LF is skipped: a lone CR keeps the digit after it.
        {u"85\r90\r\r\n7", {u"", u"", 0, true, false},
         u"{ } {8} {5} {TAB} { } {9} {0} {TAB} {TAB} { } {7} {TAB}"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(joined(BuildKeystrokeScript(c.text, c.options)), c.script)
            << testing::PrintToString(c.text);
}

TEST(EntryTypedText, RoundsReplacesWritesTwoDigitsAndStaysWithinTheDoubleRange)
{
    const std::u16string largest = u"1.79769313486232E+308";
    const struct {
        std::u16string entry, score100;
        std::int16_t decimals;
        std::u16string typed;
    } cases[] = {
        {u"", u"A+", 2, u"absent"},   {u"0.5", u"", 0, u" 1"},      {u"-2.5", u"", 0, u"-2"},
        {u"-2.6", u"", 0, u"-3"},     {u"-0.5", u"", 0, u" 0"},     {u"85.456", u"", 2, u" 85.46"},
        {u"85.456", u"", -1, u" 85"}, {u"0.25", u"", 1, u" .3"},    {u" 7 ", u"", 1, u" 7"},
        {u"abc", u"", 1, u" 0"},      {u"99.49", u"A+", 1, u"99"},  {u"99.5", u"A+", 1, u"A+"},
        {u"3", u"A+", 2, u"03"},      {u"-3", u"A+", 0, u"-03"},    {u"abc", u"A+", 0, u"00"},
        {u"-123", u"A+", 0, u"-123"}, {u"-1E15", u"A+", 0, u"-1E+15"},
        // Rounding to the decimals would leave the range of a double: whole numbers.
        {u"85.4", u"", 309, u" 85"},  {u"2.4", u"", 308, u" 2"},    {u"1E-10", u"", 308, u" 1E-10"},
        {u"1E400", u"", 0, u" " + largest}, {u"-1E400", u"A+", 0, u"-" + largest},
    };
    for (const auto &c : cases) {
        const FillOptions options{u"absent", c.score100, c.decimals, false, false};
        EXPECT_EQ(EntryTypedText(c.entry, options), c.typed)
            << testing::PrintToString(c.entry) << " decimals " << c.decimals;
    }
}

} // namespace
} // namespace gradecast
