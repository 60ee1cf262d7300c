#pragma once

#include "entry/keystroke_script.h"

#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// An entry a run would type as a number although no number stands at its
// start: a header cell copied with the column, a word, a cell of blanks.
// Every score after it would land one field further down.
struct EntryWarning {
    int place = 0;          // 1 for the first entry of the column
    std::u16string entry;   // as it stands in the column
    std::u16string typed;   // what the run types for it
};

// The warnings for the entries a run over text (normalised) would type.
// Empty entries are absent students, not warnings.
std::vector<EntryWarning> NonNumericEntries(std::u16string_view text, const FillOptions &options);

// How many warnings a message names one by one.
inline constexpr std::size_t NamedWarnings = 5;

// "第 1 筆「國文」不是數字，會輸入 0。"
std::u16string WarningLine(const EntryWarning &warning);

// The named lines, then a count of the rest when there are more.
std::u16string WarningLines(const std::vector<EntryWarning> &warnings);

} // namespace gradecast
