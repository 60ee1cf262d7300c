#include "entry/entry_warnings.h"

#include "entry/leading_number.h"
#include "entry/message_text.h"

#include <algorithm>

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
    return std::all_of(rest.begin(), rest.end(),
                       [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; });
}

} // namespace

std::vector<EntryWarning> NonNumericEntries(std::u16string_view text, const FillOptions &options)
{
    std::vector<EntryWarning> noNumber;
    std::vector<EntryWarning> textAfter;
    int place = 0;
    for (std::u16string_view entry : ScriptEntries(text)) {
        ++place;
        if (entry.empty())
            continue;
        const LeadingNumberResult number = ReadLeadingNumber(entry);
        if (number.found && onlyIgnored(entry.substr(number.length)))
            continue;
        (number.found ? textAfter : noNumber)
            .push_back({number.found ? EntryWarning::Kind::TextAfterNumber
                                     : EntryWarning::Kind::NoNumber,
                        place, std::u16string(entry), EntryTypedText(entry, options)});
    }
    noNumber.insert(noNumber.end(), textAfter.begin(), textAfter.end());
    return noNumber;
}

std::u16string WarningLine(const EntryWarning &warning)
{
    const std::u16string head = EntryHead(warning.place, warning.entry);
    if (warning.kind == EntryWarning::Kind::TextAfterNumber)
        return head + u"會輸入 " + shownTyped(warning.typed);
    return head + u"不是數字，會輸入 " + shownTyped(warning.typed) + u"。";
}

std::u16string WarningLines(const std::vector<EntryWarning> &warnings)
{
    std::u16string lines;
    std::size_t restNoNumber = 0;
    std::size_t restTextAfter = 0;
    for (std::size_t i = 0; i < warnings.size(); ++i) {
        if (i < NamedWarnings)
            lines += WarningLine(warnings[i]) + u"\n";
        else if (warnings[i].kind == EntryWarning::Kind::NoNumber)
            ++restNoNumber;
        else
            ++restTextAfter;
    }
    if (restNoNumber > 0)
        lines += u"另有 " + DecimalText(restNoNumber) + u" 筆不是數字。\n";
    if (restTextAfter > 0)
        lines += u"另有 " + DecimalText(restTextAfter) + u" 筆數字後還有其他文字。\n";
    return lines;
}

std::u16string EntriesLeftOutLine(std::u16string_view text)
{
    const std::size_t count = EntryCount(text);
    if (count <= MaxEntriesPerRun)
        return {};
    return u"只會填入前 " + DecimalText(MaxEntriesPerRun) + u" 筆，另有 "
        + DecimalText(count - MaxEntriesPerRun) + u" 筆這次不會填入。\n";
}

std::u16string ColumnWarnings(std::u16string_view text, const FillOptions &options)
{
    return WarningLines(NonNumericEntries(text, options)) + EntriesLeftOutLine(text);
}

} // namespace gradecast
