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
        NotTyped,    // the run stopped before it
        NoField,     // its keys were swallowed or went into no field
        OtherRow,    // into another row's planned field
        FieldGone,
        SharedField, // an earlier entry went into its field
        Differs,     // the page's own rule: cut, filtered or taken as something else
        Lost,        // landed, then the page lost it
        Rejected,
    };
    Kind kind = Kind::AsTyped;
    int firstPlace = 0; // SharedField: the entry that went into the field first
    std::size_t row = 0; // OtherRow: that row
};

bool isBlankNumber(std::u16string_view typed)
{
    return typed.size() > 1 && typed.front() == u' ' && plainNumber(typed);
}

std::vector<Verdict> verdicts(const std::vector<PlannedEntry> &typed, const PageReport &report)
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
    const std::size_t stop = report.stopped ? report.stopped->entry : typed.size();
    for (std::size_t i = stop; i < typed.size(); ++i)
        result[i].kind = Kind::NotTyped;
    for (std::size_t i = 0; i < std::min(followed, stop); ++i) {
        const PlannedEntry &entry = typed[i];
        const LandedEntry &landed = report.entries[i];
        Verdict &verdict = result[i];
        verdict.kind = Kind::AsTyped;
        if (landed.keysSent <= 0)
            continue;
        if (landed.keysSeen <= 0 || landed.field < 0) {
            verdict.kind = Kind::NoField;
            continue;
        }
        if (landed.otherRow) {
            verdict = {Kind::OtherRow, 0, *landed.otherRow};
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

// The student of a row, or the row's place when there is no name for it.
std::u16string studentOf(std::size_t row, const std::vector<std::u16string> &rows)
{
    if (row < rows.size() && !rows[row].empty())
        return ShownText(rows[row]);
    return u"第 " + DecimalText(row + 1) + u" 列";
}

std::u16string rowChangeLine(const RowChange &change, const std::vector<std::u16string> &rows)
{
    const std::u16string what = change.label.empty() ? u"一個欄位" : u"「" + ShownText(change.label) + u"」";
    const std::u16string head = studentOf(change.row, rows) + u" 的" + what;
    switch (change.kind) {
    case RowChange::Kind::Checked:
        return head + u"被勾選了。";
    case RowChange::Kind::Unchecked:
        return head + u"被取消勾選了。";
    case RowChange::Kind::Chosen:
        return head + u"選成了「" + ShownText(change.value) + u"」。";
    case RowChange::Kind::Text:
        break;
    }
    return head + u"變成「" + ShownText(change.value) + u"」。";
}

std::u16string entryLine(const PlannedEntry &entry, const LandedEntry &landed,
                         const Verdict &verdict, int typedAgain,
                         const std::vector<std::u16string> &rows)
{
    using Kind = Verdict::Kind;
    const std::u16string head = EntryHead(entry.place, entry.typed);
    const std::u16string place = DecimalText(std::size_t(entry.place));
    switch (verdict.kind) {
    case Kind::NoField:
        return head + u"沒有進入任何輸入欄位。";
    case Kind::OtherRow:
        return head + u"填進了 " + studentOf(verdict.row, rows) + u" 的欄位。";
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
    case Kind::NotTyped:
        break;
    }
    return {};
}

} // namespace

bool SameEntry(std::u16string_view typed, std::u16string_view value)
{
    if (typed == value)
        return true;
    const std::optional<double> typedNumber = plainNumber(typed);
    return typedNumber && typedNumber == plainNumber(value);
}

std::vector<std::size_t> EntriesToTypeAgain(const std::vector<PlannedEntry> &typed,
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

std::u16string FillCheckMessage(const std::vector<PlannedEntry> &typed, const PageReport &report,
                                const std::vector<int> &typedAgain,
                                const std::vector<std::u16string> &rows)
{
    using Kind = Verdict::Kind;
    const std::vector<Verdict> judged = verdicts(typed, report);
    std::u16string after;
    if (report.stopped && report.stopped->entry < typed.size()) {
        const StoppedAt &stop = *report.stopped;
        after += u"第 " + DecimalText(std::size_t(typed[stop.entry].place)) + u" 筆前游標停在"
               + stop.control
               + (stop.label.empty() ? u"" : u"「" + ShownText(stop.label) + u"」") + u"，後面 "
               + DecimalText(typed.size() - stop.entry) + u" 筆沒有填入。\n";
    }
    if (report.submitHeld)
        after += u"這個網頁按 Enter 會送出表單，填入時已擋下；填完請按網頁的儲存鈕。\n";
    if (report.navigated) {
        const std::size_t before = std::size_t(std::clamp(report.followedEntries, 0, int(typed.size())));
        after += u"填入時頁面換頁了，換頁前填入 " + DecimalText(before)
               + u" 筆，無法核對後面的成績。\n";
    }
    const auto firstUnsure = std::find_if(judged.begin(), judged.end(), [](const Verdict &v) {
        return v.kind != Kind::AsTyped && v.kind != Kind::NotTyped;
    });
    if (firstUnsure == judged.end() && report.rowChanges.empty())
        return after;
    if (report.busy && firstUnsure != judged.end())
        return u"頁面仍在處理，無法確認第 "
             + DecimalText(std::size_t(typed[std::size_t(firstUnsure - judged.begin())].place))
             + u" 筆以後的成績。\n" + after;

    std::vector<std::u16string> lines;
    bool blankRejected = false;
    std::optional<int> notFollowed;
    for (std::size_t i = 0; i < judged.size(); ++i) {
        if (judged[i].kind == Kind::NotFollowed) {
            notFollowed = typed[i].place; // and every entry after it
            break;
        }
        if (judged[i].kind == Kind::NotTyped)
            break;
        const LandedEntry &landed = report.entries[i];
        blankRejected = blankRejected || (landed.rejected && isBlankNumber(typed[i].typed));
        if (judged[i].kind != Kind::AsTyped)
            lines.push_back(entryLine(typed[i], landed, judged[i],
                                      i < typedAgain.size() ? typedAgain[i] : 0, rows));
    }

    std::u16string message =
        NamedLines(lines, [](const std::u16string &line) { return line; }, u" 筆與填入的不符。\n");
    message += NamedLines(
        report.rowChanges, [&](const RowChange &change) { return rowChangeLine(change, rows); },
        u" 處沒有要填的欄位也變了。\n");
    if (blankRejected)
        message += u"這個網頁不接受數字前的空白：在「100分使用」填入 100，"
                   u"成績會以整數輸入，前面不加空白。\n";
    if (notFollowed && !report.navigated)
        message += u"無法核對第 " + DecimalText(std::size_t(*notFollowed)) + u" 筆以後的成績。\n";
    return message + after;
}

} // namespace gradecast
