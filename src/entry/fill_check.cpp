#include "entry/fill_check.h"

#include "entry/entry_warnings.h"
#include "entry/message_text.h"

#include <charconv>
#include <map>
#include <optional>

namespace gradecast {

namespace {

// A plain decimal number and nothing else, blanks around it allowed: the
// forms a run types and a page writes back.
std::optional<double> plainNumber(std::u16string_view text)
{
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\u00A0'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\u00A0'))
        text.remove_suffix(1);
    std::string ascii;
    bool digits = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool sign = i == 0 && (c == u'-' || c == u'+');
        digits = digits || (c >= u'0' && c <= u'9');
        if (!sign && c != u'.' && !(c >= u'0' && c <= u'9'))
            return std::nullopt;
        if (c != u'+')
            ascii.push_back(static_cast<char>(c));
    }
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (!digits || error != std::errc() || end != ascii.data() + ascii.size())
        return std::nullopt;
    return value;
}

} // namespace

std::vector<TypedEntry> TypedEntries(std::u16string_view text, const FillOptions &options)
{
    const int separators = (options.TabAfterEntry ? 1 : 0) + (options.EnterAfterEntry ? 1 : 0);
    std::vector<TypedEntry> entries;
    for (std::u16string_view entry : ScriptEntries(text)) {
        if (separators == 0 && !entries.empty())
            entries.front().typed += EntryTypedText(entry, options);
        else
            entries.push_back(
                {int(entries.size()) + 1, EntryTypedText(entry, options), separators});
    }
    return entries;
}

bool SameEntry(std::u16string_view typed, std::u16string_view value)
{
    if (typed == value)
        return true;
    const std::optional<double> typedNumber = plainNumber(typed);
    return typedNumber && typedNumber == plainNumber(value);
}

std::u16string FillCheckMessage(const std::vector<TypedEntry> &typed, const PageReport &report)
{
    std::vector<std::u16string> lines;
    std::map<int, int> firstPlaceInField;
    for (std::size_t i = 0; i < typed.size() && i < report.entries.size(); ++i) {
        const TypedEntry &entry = typed[i];
        const LandedEntry &landed = report.entries[i];
        if (entry.typed.empty() || !landed.seen)
            continue;
        const std::u16string head = EntryHead(entry.place, entry.typed);
        if (landed.field < 0) {
            lines.push_back(head + u"沒有進入任何輸入欄位。");
            continue;
        }
        const auto [earlier, first] = firstPlaceInField.try_emplace(landed.field, entry.place);
        if (!first)
            lines.push_back(u"第 " + DecimalText(entry.place) + u" 筆與第 "
                            + DecimalText(earlier->second) + u" 筆進入同一個欄位。");
        else if (!SameEntry(entry.typed, landed.value))
            lines.push_back(head + u"在欄位中成為「" + ShownText(landed.value) + u"」。");
        else if (landed.rejected)
            lines.push_back(head + u"頁面標示為錯誤"
                            + (landed.rejection.empty() ? u"。" : u"：" + landed.rejection));
    }

    std::u16string message;
    for (std::size_t i = 0; i < lines.size() && i < NamedWarnings; ++i)
        message += lines[i] + u"\n";
    if (lines.size() > NamedWarnings)
        message += u"另有 " + DecimalText(lines.size() - NamedWarnings) + u" 筆與填入的不符。\n";
    if (report.navigated)
        message += u"填入時頁面換頁了，無法核對後面的成績。\n";
    return message;
}

} // namespace gradecast
