#include "entry/entry_warnings.h"

#include "entry/leading_number.h"
#include "entry/utf16.h"

namespace gradecast {

namespace {

// A long cell is shown by its start; the teacher only needs to recognise it.
constexpr std::size_t ShownEntryLength = 20;

std::u16string decimal(std::size_t number)
{
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + number % 10));
        number /= 10;
    } while (number != 0);
    return digits;
}

std::u16string shownEntry(std::u16string_view entry)
{
    if (entry.size() <= ShownEntryLength)
        return std::u16string(entry);
    std::size_t cut = ShownEntryLength;
    if (SurrogatePairAt(entry, cut - 1))
        --cut; // keep a surrogate pair whole
    return std::u16string(entry.substr(0, cut)) + u"…";
}

// The typed text without the sign place a non-negative number starts with.
std::u16string shownTyped(std::u16string_view typed)
{
    if (!typed.empty() && typed.front() == u' ')
        typed.remove_prefix(1);
    return std::u16string(typed);
}

} // namespace

std::vector<EntryWarning> NonNumericEntries(std::u16string_view text, const FillOptions &options)
{
    std::vector<EntryWarning> warnings;
    int place = 0;
    for (std::u16string_view entry : ScriptEntries(text)) {
        ++place;
        if (entry.empty() || ReadLeadingNumber(entry).found)
            continue;
        warnings.push_back({place, std::u16string(entry), EntryTypedText(entry, options)});
    }
    return warnings;
}

std::u16string WarningLine(const EntryWarning &warning)
{
    return u"第 " + decimal(warning.place) + u" 筆「" + shownEntry(warning.entry)
        + u"」不是數字，會輸入 " + shownTyped(warning.typed) + u"。";
}

std::u16string WarningLines(const std::vector<EntryWarning> &warnings)
{
    std::u16string lines;
    for (std::size_t i = 0; i < warnings.size() && i < NamedWarnings; ++i)
        lines += WarningLine(warnings[i]) + u"\n";
    if (warnings.size() > NamedWarnings)
        lines += u"另有 " + decimal(warnings.size() - NamedWarnings) + u" 筆不是數字。\n";
    return lines;
}

} // namespace gradecast
