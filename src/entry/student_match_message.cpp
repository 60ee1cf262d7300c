#include "entry/student_match.h"

#include "entry/entry_warnings.h"
#include "entry/message_text.h"
#include "entry/pasted_lines.h"

namespace gradecast {

namespace {

std::u16string placesText(const std::vector<int> &lines)
{
    std::u16string text;
    for (int line : lines)
        text += (text.empty() ? u"" : u"、") + DecimalText(static_cast<std::size_t>(line));
    return text;
}

} // namespace

std::u16string StudentMatchMessage(const StudentMatch &match)
{
    std::u16string text = u"貼上的 " + DecimalText(match.lines) + u" 列中，有 "
        + DecimalText(match.matched.size()) + u" 列在頁面上找到學生。\n";
    const std::u16string untyped =
        NamedLines(
            match.notFound,
            [](const NamedLine &l) { return LineHead(l.line, l.shown) + u"在頁面上找不到"; },
            u" 列在頁面上找不到。\n")
        + NamedLines(
            match.severalRows,
            [](const NamedLine &l) {
                return LineHead(l.line, l.shown) + u"對得上頁面上不只一位學生";
            },
            u" 列對得上頁面上不只一位學生。\n")
        + NamedLines(
            match.sameStudent,
            [](const SharedStudent &s) {
                return u"第 " + placesText(s.lines) + u" 列是同一位學生：" + ShownText(s.shown);
            },
            u" 位學生有不只一列。\n");
    if (!untyped.empty())
        text += untyped + u"依學生填入時，上面這些列不會填入。\n";
    text += NamedLines(
        match.withoutScore,
        [](const std::u16string &student) { return u"頁面上沒有成績：" + ShownText(student); },
        u" 位學生頁面上沒有成績。\n");
    return text + u"\n「依學生填入」把每個成績填進該學生的欄位；「依序填入」把每一格依序填入。";
}

} // namespace gradecast
