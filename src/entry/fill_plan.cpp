#include "entry/fill_plan.h"

#include "entry/message_text.h"
#include "entry/pasted_lines.h"

namespace gradecast {

namespace {

// Adds the entry of one pasted cell at place, into target, while the run
// has room for it.
class PlanBuilder
{
public:
    PlanBuilder(FillPlan &plan, const FillOptions &options) : m_plan(plan), m_options(options) {}

    void add(int place, std::u16string_view pasted, std::optional<FieldAt> target)
    {
        if (m_plan.entries.size() == MaxEntriesPerRun) {
            ++m_plan.pastTheLimit;
            return;
        }
        std::u16string typed = EntryTypedText(pasted, m_options);
        KeystrokeScript keys = EntryKeystrokes(typed, m_options);
        m_plan.entries.push_back({place, std::move(typed), SeparatorCount(m_options),
                                  std::move(keys), target, std::u16string(pasted)});
    }

private:
    FillPlan &m_plan;
    const FillOptions &m_options;
};

bool followsColumn(const PageColumn &column)
{
    return column.clicked < column.rows.size();
}

std::u16string joinedCells(const std::vector<std::u16string_view> &cells)
{
    std::u16string shown;
    for (std::u16string_view cell : cells)
        shown += (shown.empty() ? u"" : u" ") + std::u16string(cell);
    return shown;
}

// "第 31 筆「55」、第 32 筆「60」" or, for lines, "第 31 列「55 70」"; of more
// than count, the first few.
std::u16string namedPlaces(const std::vector<std::pair<int, std::u16string>> &items,
                           std::size_t count, bool lines)
{
    std::u16string text;
    for (std::size_t i = 0; i < items.size() && i < NamedWarnings; ++i)
        text += (i > 0 ? u"、" : u"")
            + (lines ? LineHead(items[i].first, items[i].second)
                     : EntryHead(items[i].first, items[i].second));
    return text + (count > NamedWarnings ? u" 等" : u"");
}

} // namespace

FillPlan PlanInOrder(std::u16string_view text, const FillOptions &options,
                     const PageColumn &column)
{
    FillPlan plan;
    PlanBuilder builder(plan, options);
    if (SeparatorCount(options) == 0) {
        // Nothing moves on between entries: they all go into the clicked field.
        std::u16string typed;
        for (std::u16string_view entry : ScriptEntries(text))
            typed += EntryTypedText(entry, options);
        if (!text.empty())
            plan.entries.push_back({1, typed, 0, EntryKeystrokes(typed, options), {},
                                    std::u16string(text)});
        return plan;
    }
    int place = 0;
    if (!followsColumn(column)) {
        for (std::u16string_view entry : ScriptEntries(text))
            builder.add(++place, entry, std::nullopt);
        return plan;
    }

    // Only what has a row to go into, and the few entries past the last row
    // that the guard names, are read: a huge paste costs no more.
    const std::size_t first = column.clicked;
    const std::size_t rows = column.rows.size() - first;
    if (HoldsSeveralCells(text) && column.rows[first].fields > 1) {
        plan.kind = FillPlan::Kind::Block;
        plan.lines = LineCount(text);
        plan.pastTheColumnCount = plan.lines > rows ? plan.lines - rows : 0;
        const std::vector<PastedLine> lines = PastedLines(text, rows + NamedWarnings);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const PastedLine &line = lines[i];
            plan.cellsPerLine = std::max(plan.cellsPerLine, int(line.cells.size()));
            if (i >= rows) {
                plan.pastTheColumn.emplace_back(line.place, joinedCells(line.cells));
                place += int(line.cells.size());
                continue;
            }
            const int fields = column.rows[first + i].fields;
            for (int j = 0; j < int(line.cells.size()); ++j) {
                const std::u16string_view cell = line.cells[std::size_t(j)];
                ++place;
                if (j < fields)
                    builder.add(place, cell, FieldAt{first + i, j});
                else if (!cell.empty())
                    plan.withoutField.emplace_back(place, cell);
            }
        }
        return plan;
    }

    plan.kind = FillPlan::Kind::Column;
    const std::size_t entries = EntryCount(text);
    plan.pastTheColumnCount = entries > rows ? entries - rows : 0;
    for (std::u16string_view cell : FirstEntries(text, rows + NamedWarnings)) {
        const std::size_t row = std::size_t(place);
        ++place;
        if (row < rows)
            builder.add(place, cell, FieldAt{first + row, 0});
        else
            plan.pastTheColumn.emplace_back(place, cell);
    }
    return plan;
}

FillPlan PlanByStudent(const StudentMatch &match, const FillOptions &options,
                       const PageColumn &column)
{
    FillPlan plan;
    plan.kind = FillPlan::Kind::Students;
    PlanBuilder builder(plan, options);
    for (const MatchedLine &line : match.matched) {
        if (plan.entries.size() + line.scores.size() > MaxEntriesPerRun)
            break;
        const int fields = line.row < column.rows.size() ? column.rows[line.row].fields : 1;
        plan.cellsPerLine = std::max(plan.cellsPerLine, int(line.scores.size()));
        for (int j = 0; j < int(line.scores.size()); ++j) {
            const std::u16string &score = line.scores[std::size_t(j)];
            if (j < fields)
                builder.add(line.line, score, FieldAt{line.row, j});
            else if (!score.empty())
                plan.withoutField.emplace_back(line.line, score);
        }
    }
    return plan;
}

std::u16string ColumnLengthLines(const FillPlan &plan, const PageColumn &column)
{
    if ((plan.kind != FillPlan::Kind::Column && plan.kind != FillPlan::Kind::Block)
        || !followsColumn(column))
        return {};
    const bool block = plan.kind == FillPlan::Kind::Block;
    const std::u16string unit = block ? u" 列" : u" 筆";
    const std::size_t rows = column.rows.size() - column.clicked;
    const std::u16string students =
        u"這一欄從游標起" + std::u16string(plan.pastTheColumnCount == 0 ? u"有 " : u"只有 ")
        + DecimalText(rows) + u" 位學生";
    if (plan.pastTheColumnCount > 0)
        return students + u"，後面 " + DecimalText(plan.pastTheColumnCount) + unit
             + u"不會填入：" + namedPlaces(plan.pastTheColumn, plan.pastTheColumnCount, block)
             + u"。\n";
    if (plan.entries.empty() || plan.pastTheLimit > 0)
        return {};
    const std::size_t lastRow = plan.entries.back().target->row;
    const std::size_t used = lastRow + 1 - column.clicked;
    if (used >= rows)
        return {};
    const std::u16string pasted = block ? DecimalText(plan.lines) : DecimalText(used);
    const std::u16string last =
        block ? u"最後一列" : u"最後一筆 " + ShownText(plan.entries.back().pasted);
    const std::size_t without = rows - used;
    return u"貼上 " + pasted + unit + u"，" + students + u"：" + last + u" 填給 "
         + ShownText(RowShown(column.rows[lastRow])) + u"，"
         + ShownText(RowShown(column.rows[lastRow + 1]))
         + (without > 1 ? u" 等 " + DecimalText(without) + u" 位沒有成績。\n" : u" 沒有成績。\n");
}

std::u16string BlockLines(const FillPlan &plan, const PageColumn &column)
{
    std::u16string text;
    if (plan.kind == FillPlan::Kind::Block
        || (plan.kind == FillPlan::Kind::Students && plan.cellsPerLine > 1)) {
        const int columns = followsColumn(column)
            ? std::min(plan.cellsPerLine, column.rows[column.clicked].fields)
            : plan.cellsPerLine;
        std::u16string headers;
        for (int j = 0; j < columns && j < int(column.headers.size()); ++j)
            headers += (j > 0 ? u"、" : u"") + ShownText(column.headers[std::size_t(j)]);
        text += u"每列有 " + DecimalText(std::size_t(plan.cellsPerLine))
              + (plan.kind == FillPlan::Kind::Students ? u" 格成績" : u" 格")
              + u"：從游標這一欄起填入 " + DecimalText(std::size_t(columns)) + u" 欄"
              + (headers.empty() ? u"" : u"（" + headers + u"）") + u"。\n";
    }
    if (!plan.withoutField.empty())
        text += u"這些格在頁面上沒有欄位，不會填入："
              + namedPlaces(plan.withoutField, plan.withoutField.size(),
                            plan.kind == FillPlan::Kind::Students)
              + u"。\n";
    return text;
}

} // namespace gradecast
