#include "entry/pasted_lines.h"

#include "entry/message_text.h"

namespace gradecast {

std::vector<PastedLine> PastedLines(std::u16string_view text, std::size_t limit)
{
    std::vector<PastedLine> lines;
    if (text.empty())
        return lines;
    PastedLine line;
    std::size_t start = 0;
    for (std::size_t p = 0; p <= text.size(); ++p) {
        const bool end = p == text.size() || text[p] == u'\r';
        if (!end && text[p] != u'\t')
            continue;
        line.cells.push_back(text.substr(start, p - start));
        if (end) {
            line.place = int(lines.size()) + 1;
            lines.push_back(std::move(line));
            if (lines.size() == limit)
                break;
            line = {};
            // The LF of a CR LF pair belongs to the line end, as in a run.
            if (p + 1 < text.size() && text[p + 1] == u'\n')
                ++p;
        }
        start = p + 1;
    }
    return lines;
}

std::size_t LineCount(std::u16string_view text)
{
    if (text.empty())
        return 0;
    std::size_t count = 1;
    for (char16_t c : text)
        count += c == u'\r';
    return count;
}

bool HoldsSeveralCells(std::u16string_view text)
{
    return text.find(u'\t') != std::u16string_view::npos;
}

std::u16string LineHead(int place, std::u16string_view shown)
{
    return u"第 " + DecimalText(static_cast<std::size_t>(place)) + u" 列「" + ShownText(shown)
        + u"」";
}

} // namespace gradecast
