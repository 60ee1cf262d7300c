#include "entry/fill_check.h"

#include "entry/entry_warnings.h"
#include "entry/message_text.h"

#include <algorithm>
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

// What the check makes of one entry.
struct Verdict {
    enum class Kind {
        AsTyped,
        NotFollowed, // the recorder lost track before it
        NoField,     // its keys were swallowed or went into no field
        FieldGone,
        SharedField, // an earlier entry went into its field
        Differs,     // the page's own rule: cut, filtered or taken as something else
        Lost,        // landed, then the page lost it
        Rejected,
    };
    Kind kind = Kind::AsTyped;
    int firstPlace = 0; // SharedField: the entry that went into the field first
};

bool isBlankNumber(std::u16string_view typed)
{
    return typed.size() > 1 && typed.front() == u' ' && plainNumber(typed);
}

std::vector<Verdict> verdicts(const std::vector<TypedEntry> &typed, const PageReport &report)
{
    using Kind = Verdict::Kind;
    const std::size_t followed = std::min(
        {typed.size(), report.entries.size(), std::size_t(std::max(report.followedEntries, 0))});
    std::map<int, int> entriesInField;
    for (std::size_t i = 0; i < followed; ++i)
        if (report.entries[i].keysSeen > 0 && report.entries[i].field >= 0)
            ++entriesInField[report.entries[i].field];

    std::vector<Verdict> result(typed.size(), {Kind::NotFollowed});
    std::map<int, int> firstPlaceInField;
    for (std::size_t i = 0; i < followed; ++i) {
        const TypedEntry &entry = typed[i];
        const LandedEntry &landed = report.entries[i];
        Verdict &verdict = result[i];
        verdict.kind = Kind::AsTyped;
        if (landed.keysSent <= 0)
            continue;
        if (landed.keysSeen <= 0 || landed.field < 0) {
            verdict.kind = Kind::NoField;
            continue;
        }
        const auto [earlier, first] = firstPlaceInField.try_emplace(landed.field, entry.place);
        if (!first)
            verdict = {Kind::SharedField, earlier->second};
        else if (entry.typed.empty())
            continue; // nothing typed claims nothing about the field's value
        else if (landed.fieldGone)
            verdict.kind = Kind::FieldGone;
        else if (!SameEntry(entry.typed, landed.value)) {
            const bool landedThenLost =
                landed.redrawn
                || (landed.valueAtSeparator && SameEntry(entry.typed, *landed.valueAtSeparator));
            verdict.kind = landedThenLost && entriesInField[landed.field] == 1 ? Kind::Lost
                                                                              : Kind::Differs;
        } else if (landed.rejected)
            verdict.kind = Kind::Rejected;
    }
    return result;
}

std::u16string entryLine(const TypedEntry &entry, const LandedEntry &landed,
                         const Verdict &verdict, int typedAgain)
{
    using Kind = Verdict::Kind;
    const std::u16string head = EntryHead(entry.place, entry.typed);
    const std::u16string place = DecimalText(std::size_t(entry.place));
    switch (verdict.kind) {
    case Kind::NoField:
        return head + u"沒有進入任何輸入欄位。";
    case Kind::FieldGone:
        return u"第 " + place + u" 筆的欄位已不在頁面上。";
    case Kind::SharedField:
        return u"第 " + place + u" 筆與第 " + DecimalText(std::size_t(verdict.firstPlace))
             + u" 筆進入同一個欄位。";
    case Kind::Lost:
        if (typedAgain > 0)
            return head + u"填入後被頁面清除，重新填入 " + DecimalText(std::size_t(typedAgain))
                 + u" 次仍未保留。";
        [[fallthrough]];
    case Kind::Differs:
        return head + u"在欄位中成為「" + ShownText(landed.value) + u"」。";
    case Kind::Rejected:
        return head + u"頁面標示為錯誤"
             + (landed.rejection.empty() ? u"。" : u"：" + landed.rejection);
    case Kind::AsTyped:
    case Kind::NotFollowed:
        break;
    }
    return {};
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

std::vector<KeystrokeScript> KeystrokesPerEntry(const KeystrokeScript &script,
                                                const std::vector<TypedEntry> &typed)
{
    std::vector<KeystrokeScript> entries;
    std::size_t s = 0;
    for (const TypedEntry &entry : typed) {
        KeystrokeScript keys;
        int separators = 0;
        for (; s < script.size(); ++s) {
            const bool separator = script[s] == TabKeystroke || script[s] == EnterKeystroke;
            if (separator ? separators++ == entry.separators : separators > 0)
                break;
            keys.push_back(script[s]);
        }
        entries.push_back(std::move(keys));
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

std::vector<std::size_t> EntriesToTypeAgain(const std::vector<TypedEntry> &typed,
                                            const PageReport &report)
{
    std::vector<std::size_t> again;
    if (report.navigated || report.busy)
        return again;
    const std::vector<Verdict> judged = verdicts(typed, report);
    for (std::size_t i = 0; i < judged.size(); ++i)
        if (judged[i].kind == Verdict::Kind::Lost)
            again.push_back(i);
    return again;
}

std::u16string FillCheckMessage(const std::vector<TypedEntry> &typed, const PageReport &report,
                                const std::vector<int> &typedAgain)
{
    using Kind = Verdict::Kind;
    const std::vector<Verdict> judged = verdicts(typed, report);
    const std::u16string navigated =
        report.navigated ? u"填入時頁面換頁了，無法核對後面的成績。\n" : u"";
    const auto firstUnsure = std::find_if(judged.begin(), judged.end(), [](const Verdict &v) {
        return v.kind != Kind::AsTyped;
    });
    if (firstUnsure == judged.end())
        return navigated;
    const std::size_t unsure = std::size_t(firstUnsure - judged.begin());
    if (report.busy)
        return u"頁面仍在處理，無法確認第 " + DecimalText(std::size_t(typed[unsure].place))
             + u" 筆以後的成績。\n" + navigated;

    std::vector<std::u16string> lines;
    bool blankRejected = false;
    std::optional<int> notFollowed;
    for (std::size_t i = 0; i < judged.size(); ++i) {
        if (judged[i].kind == Kind::NotFollowed) {
            notFollowed = typed[i].place; // and every entry after it
            break;
        }
        const LandedEntry &landed = report.entries[i];
        blankRejected = blankRejected || (landed.rejected && isBlankNumber(typed[i].typed));
        if (judged[i].kind != Kind::AsTyped)
            lines.push_back(entryLine(typed[i], landed, judged[i],
                                      i < typedAgain.size() ? typedAgain[i] : 0));
    }

    std::u16string message =
        NamedLines(lines, [](const std::u16string &line) { return line; }, u" 筆與填入的不符。\n");
    if (blankRejected)
        message += u"這個網頁不接受數字前的空白：在「100分使用」填入 100，"
                   u"成績會以整數輸入，前面不加空白。\n";
    if (notFollowed && !report.navigated)
        message += u"無法核對第 " + DecimalText(std::size_t(*notFollowed)) + u" 筆以後的成績。\n";
    return message + navigated;
}

} // namespace gradecast
