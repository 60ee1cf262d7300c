#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// What one fill run types, taken once at its start.
struct FillOptions {
    std::u16string AbsentText;   // typed for an empty entry
    std::u16string Score100Text; // when set: typed for scores from 99.5 up, others as two digits
    std::int16_t DecimalPlaces = 0; // decimals kept while Score100Text is empty
    bool TabAfterEntry = false;
    bool EnterAfterEntry = false;
    // This run types scores with their decimals as written (87.5 stays 87.5),
    // while Score100Text is empty; the teacher's choice for one run, never saved.
    bool KeepDecimals = false;
};

// Keystroke strings, in delivery order: "{c}" types c, "{TAB}" and "{Enter}"
// press those keys. No other form is produced.
using KeystrokeScript = std::vector<std::u16string>;
inline constexpr std::u16string_view TabKeystroke = u"{TAB}";
inline constexpr std::u16string_view EnterKeystroke = u"{Enter}";

inline constexpr int MaxEntriesPerRun = 60;

// The score box's text as the rules read it: every line end (LF, CR LF, a
// lone CR) as CR LF, the way a spreadsheet's copy ends its rows.
std::u16string ScoreBoxLineEnds(std::u16string_view text);

// Removes every CR LF pair at the end of the text; nothing else.
std::u16string TrimTrailingLineEnds(std::u16string_view text);

// The entries a run types, in order: at most MaxEntriesPerRun views into the
// text. Reading stops at the last of them, so a huge paste costs no more.
std::vector<std::u16string_view> ScriptEntries(std::u16string_view text);

// The first count entries of the text, read as a run reads them.
std::vector<std::u16string_view> FirstEntries(std::u16string_view text, std::size_t count);

// How many entries the text holds, beyond the limit of a run too.
std::size_t EntryCount(std::u16string_view text);

// The keystrokes of a whole run over normalised text: entries end at CR (with
// the LF after it) or TAB, each entry is followed by its separator keys, and
// reading stops after MaxEntriesPerRun entries. An empty text types nothing.
KeystrokeScript BuildKeystrokeScript(std::u16string_view text, const FillOptions &options);

// The keys of one entry: the typed text's characters, then its separator keys.
KeystrokeScript EntryKeystrokes(std::u16string_view typed, const FillOptions &options);

// How many separator keys follow each entry.
int SeparatorCount(const FillOptions &options);

// The text typed for one entry: AbsentText, Score100Text or a number written afresh.
std::u16string EntryTypedText(std::u16string_view entry, const FillOptions &options);

} // namespace gradecast
