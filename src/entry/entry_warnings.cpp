#include "entry/entry_warnings.h"

#include "entry/message_text.h"
#include "entry/pasted_lines.h"
#include "text/leading_number.h"

#include <algorithm>
#include <cmath>

namespace gradecast {

namespace {

// The typed text without the sign place a non-negative number starts with.
std::u16string shownTyped(std::u16string_view typed)
{
    if (!typed.empty() && typed.front() == u' ')
        typed.remove_prefix(1);
    return std::u16string(typed);
}

bool onlyIgnored(std::u16string_view rest)
{
    return std::all_of(rest.begin(), rest.end(), IgnoredInNumber);
}

struct PlacedEntry {
    int place = 0;
    std::u16string_view entry;
};

std::vector<PlacedEntry> placedEntries(const FillPlan &plan)
{
    std::vector<PlacedEntry> entries;
    for (const PlannedEntry &entry : plan.entries)
        entries.push_back({entry.place, entry.pasted});
    return entries;
}

std::vector<EntryWarning> warningsOf(const std::vector<PlacedEntry> &entries,
                                     const FillOptions &options, bool onLine)
{
    std::vector<EntryWarning> warnings;
    for (const auto &[place, entry] : entries) {
        if (entry.empty())
            continue;
        const LeadingNumberResult number = ReadLeadingNumber(entry);
        std::u16string typed = EntryTypedText(entry, options);
        EntryWarning::Kind kind = EntryWarning::Kind::NoNumber;
        if (number.found && onlyIgnored(entry.substr(number.length))) {
            // Only decimals the typed text does not keep: 87.0 typed 87 loses nothing.
            const double x = number.value;
            if (x == std::floor(x) || LeadingNumber(typed) == x)
                continue;
            kind = EntryWarning::Kind::Rounded;
        } else if (number.found) {
            kind = EntryWarning::Kind::TextAfterNumber;
        }
        warnings.push_back({kind, place, onLine, std::u16string(entry), std::move(typed)});
    }
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const auto &a, const auto &b) { return a.kind < b.kind; });
    return warnings;
}

std::u16string trimmedEntry(std::u16string_view entry)
{
    while (!entry.empty() && IgnoredInNumber(entry.front()))
        entry.remove_prefix(1);
    while (!entry.empty() && IgnoredInNumber(entry.back()))
        entry.remove_suffix(1);
    return ShownText(entry);
}

// "有 2 筆含小數，會四捨五入：87.5 → 88、59.5 → 60。" and where the rule comes
// from: DECIMAL, or the 100 text, which types whole numbers only.
std::u16string roundedLine(const std::vector<EntryWarning> &rounded, const FillOptions &options)
{
    if (rounded.empty())
        return {};
    std::u16string line = u"有 " + DecimalText(rounded.size()) + u" 筆含小數，會四捨五入：";
    for (std::size_t i = 0; i < rounded.size() && i < NamedWarnings; ++i) {
        if (i > 0)
            line += u"、";
        line += trimmedEntry(rounded[i].entry) + u" → " + ShownText(shownTyped(rounded[i].typed));
    }
    if (rounded.size() > NamedWarnings)
        line += u" 等";
    return line
        + (options.Score100Text.empty() ? u"。（設定檔 DECIMAL 可保留小數）\n"
                                        : u"。（有設定「100分使用」時，成績只輸入整數）\n");
}

} // namespace

std::vector<EntryWarning> EntryWarnings(std::u16string_view text, const FillOptions &options)
{
    std::vector<PlacedEntry> entries;
    for (std::u16string_view entry : ScriptEntries(text))
        entries.push_back({int(entries.size()) + 1, entry});
    return warningsOf(entries, options, false);
}

std::u16string WarningLine(const EntryWarning &warning)
{
    const std::u16string head = warning.onLine ? LineHead(warning.place, warning.entry)
                                               : EntryHead(warning.place, warning.entry);
    if (warning.kind == EntryWarning::Kind::TextAfterNumber)
        return head + u"會輸入 " + shownTyped(warning.typed);
    return head + u"不是數字，會輸入 " + shownTyped(warning.typed) + u"。";
}

std::u16string WarningLines(const std::vector<EntryWarning> &warnings, const FillOptions &options)
{
    std::u16string lines;
    std::size_t named = 0;
    std::size_t restNoNumber = 0;
    std::size_t restTextAfter = 0;
    std::vector<EntryWarning> rounded;
    for (const EntryWarning &warning : warnings) {
        if (warning.kind == EntryWarning::Kind::Rounded)
            rounded.push_back(warning);
        else if (named++ < NamedWarnings)
            lines += WarningLine(warning) + u"\n";
        else if (warning.kind == EntryWarning::Kind::NoNumber)
            ++restNoNumber;
        else
            ++restTextAfter;
    }
    if (restNoNumber > 0)
        lines += u"另有 " + DecimalText(restNoNumber) + u" 筆不是數字。\n";
    if (restTextAfter > 0)
        lines += u"另有 " + DecimalText(restTextAfter) + u" 筆數字後還有其他文字。\n";
    return lines + roundedLine(rounded, options);
}

namespace {

std::u16string leftOutLine(std::size_t leftOut)
{
    if (leftOut == 0)
        return {};
    return u"只會填入前 " + DecimalText(MaxEntriesPerRun) + u" 筆，另有 " + DecimalText(leftOut)
        + u" 筆這次不會填入。\n";
}

} // namespace

std::u16string EntriesLeftOutLine(std::u16string_view text)
{
    const std::size_t count = EntryCount(text);
    return leftOutLine(count > MaxEntriesPerRun ? count - MaxEntriesPerRun : 0);
}

std::u16string SeveralCellsLine(std::u16string_view text)
{
    if (!HoldsSeveralCells(text))
        return {};
    std::size_t cells = 0;
    std::size_t severalCells = 0;
    bool same = true;
    for (const PastedLine &line : PastedLines(text)) {
        if (line.empty())
            continue; // an empty line in the block
        const std::size_t count = line.cells.size();
        same = same && (cells == 0 || count == cells);
        cells = count;
        severalCells += count > 1;
    }
    const std::u16string what = same ? u"每列有 " + DecimalText(cells) + u" 格"
                                     : u"有 " + DecimalText(severalCells) + u" 列不只一格";
    return what + u"（例如座號與成績），會一格一格依序填入。\n";
}

std::u16string ColumnWarnings(std::u16string_view text, const FillOptions &options)
{
    return SeveralCellsLine(text) + WarningLines(EntryWarnings(text, options), options)
        + EntriesLeftOutLine(text);
}

bool DecimalsToChoose(const FillPlan &plan, const FillOptions &options)
{
    if (!options.Score100Text.empty())
        return false;
    const std::vector<EntryWarning> warnings = warningsOf(placedEntries(plan), options, false);
    return std::any_of(warnings.begin(), warnings.end(), [](const EntryWarning &warning) {
        return warning.kind == EntryWarning::Kind::Rounded;
    });
}

std::u16string OrderFillWarnings(std::u16string_view text, const FillPlan &plan,
                                 const PageColumn &column, const FillOptions &options)
{
    if (plan.kind == FillPlan::Kind::TabOrder)
        return ColumnWarnings(text, options);
    return (plan.kind == FillPlan::Kind::Block ? BlockLines(plan, column) : SeveralCellsLine(text))
        + WarningLines(warningsOf(placedEntries(plan), options, false), options)
        + ColumnLengthLines(plan, column) + leftOutLine(plan.pastTheLimit);
}

std::u16string StudentFillWarnings(const StudentMatch &match, const FillOptions &options,
                                   const FillPlan &plan, const PageColumn &column)
{
    std::vector<PlacedEntry> entries;
    std::size_t students = 0;
    for (const MatchedLine &line : match.matched) {
        if (entries.size() + line.scores.size() > MaxEntriesPerRun)
            break;
        ++students;
        for (const std::u16string &score : line.scores)
            entries.push_back({line.line, score});
    }
    std::u16string text =
        BlockLines(plan, column) + WarningLines(warningsOf(entries, options, true), options);
    if (students < match.matched.size())
        text += u"只會填入頁面上前 " + DecimalText(students) + u" 位學生的成績，另有 "
            + DecimalText(match.matched.size() - students) + u" 位這次不會填入。\n";
    return text;
}

} // namespace gradecast
