#pragma once

#include "entry/keystroke_script.h"

#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// An entry a run would not type as it stands. Either no number stands at its
// start (a header cell copied with the column, a word, a cell of blanks) and
// it is typed as 0, pushing every later score one field down; or something
// follows its number ("8O" with a letter O, "65(補考)") and only the number is
// typed, so a typo passes unseen.
struct EntryWarning {
    enum class Kind { NoNumber, TextAfterNumber };
    Kind kind = Kind::NoNumber;
    int place = 0;          // 1 for the first entry of the column
    std::u16string entry;   // as it stands in the column
    std::u16string typed;   // what the run types for it
};

// The warnings for the entries a run over text (normalised) would type: those
// with no number first, then those with text after their number, each in
// column order. Empty entries are absent students, not warnings.
std::vector<EntryWarning> NonNumericEntries(std::u16string_view text, const FillOptions &options);

// How many lines a message names one by one before it counts the rest.
inline constexpr std::size_t NamedWarnings = 5;

// "第 1 筆「國文」不是數字，會輸入 0。" or "第 5 筆「8O」會輸入 8"
std::u16string WarningLine(const EntryWarning &warning);

// The named lines, then a count of the rest of each kind when there are more.
std::u16string WarningLines(const std::vector<EntryWarning> &warnings);

// "只會填入前 60 筆，另有 N 筆這次不會填入。" when the text holds more entries
// than a run types; empty otherwise.
std::u16string EntriesLeftOutLine(std::u16string_view text);

// Everything the teacher is shown before a run over text: the warning lines,
// then the line on entries left out. Empty when there is nothing to say.
std::u16string ColumnWarnings(std::u16string_view text, const FillOptions &options);

} // namespace gradecast
