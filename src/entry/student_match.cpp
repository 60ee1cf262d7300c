#include "entry/student_match.h"

#include "entry/cell_key.h"
#include "entry/pasted_lines.h"
#include "text/blanks.h"
#include "text/leading_number.h"

#include <algorithm>
#include <unordered_map>

namespace gradecast {

namespace {

// The cells as the teacher would read them: trimmed, empty ones left out,
// joined by blanks.
template <typename Cells>
std::u16string joined(const Cells &cells)
{
    std::u16string shown;
    for (std::u16string_view cell : cells) {
        cell = TrimBlanks(cell);
        if (cell.empty())
            continue;
        if (!shown.empty())
            shown += u' ';
        shown += cell;
    }
    return shown;
}

// The page's rows by the keys of their cells and pieces: a long paste costs a
// look-up per line, not a pass over every row.
class RowIndex
{
public:
    explicit RowIndex(const std::vector<PageRow> &rows) : m_keys(rows.size())
    {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            auto &keys = m_keys[r];
            for (const auto *texts : {&rows[r].cells, &rows[r].pieces}) {
                for (const std::u16string &text : *texts) {
                    if (std::u16string key = CellKey(text); !key.empty())
                        keys.push_back(std::move(key));
                }
            }
            std::sort(keys.begin(), keys.end());
            keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
            for (const std::u16string &key : keys)
                m_rowsByKey[key].push_back(r);
        }
    }

    // The first two rows, in page order, that hold every one of the keys.
    std::vector<std::size_t> rowsHolding(const std::vector<std::u16string> &keys) const
    {
        std::vector<std::size_t> found;
        const auto candidates = keys.empty() ? m_rowsByKey.end() : m_rowsByKey.find(keys.front());
        if (candidates == m_rowsByKey.end())
            return found;
        for (std::size_t r : candidates->second) {
            const auto &held = m_keys[r];
            if (std::all_of(keys.begin() + 1, keys.end(), [&](const std::u16string &key) {
                    return std::binary_search(held.begin(), held.end(), key);
                }))
                found.push_back(r);
            if (found.size() == 2)
                break;
        }
        return found;
    }

private:
    std::vector<std::vector<std::u16string>> m_keys; // each row's, sorted, once each
    std::unordered_map<std::u16string, std::vector<std::size_t>> m_rowsByKey;
};

std::vector<std::u16string> keysOf(const std::vector<std::u16string_view> &cells)
{
    std::vector<std::u16string> keys;
    for (std::u16string_view cell : cells) {
        if (std::u16string key = CellKey(cell); !key.empty())
            keys.push_back(std::move(key));
    }
    return keys;
}

// How many of the line's first cells name its student: the first; the first
// two (座號, 姓名) when a score follows them and the second is a word or
// names one row together with the first. A lone cell names nobody.
std::size_t studentCells(const PastedLine &line, const RowIndex &index)
{
    if (line.cells.size() < 3)
        return line.cells.size() - 1;
    const std::u16string_view second = line.cells[1];
    const bool word = !CellKey(second).empty() && !ReadLeadingNumber(second).found;
    return word || index.rowsHolding(keysOf({line.cells[0], second})).size() == 1 ? 2 : 1;
}

} // namespace

std::u16string RowShown(const PageRow &row)
{
    return joined(row.cells);
}

StudentMatch MatchStudents(std::u16string_view text, const std::vector<PageRow> &rows)
{
    const RowIndex index(rows);
    StudentMatch match;
    std::vector<std::vector<std::pair<const PastedLine *, std::size_t>>> claims(rows.size());
    const std::vector<PastedLine> lines = PastedLines(text);
    for (const PastedLine &line : lines) {
        const std::size_t students = studentCells(line, index);
        const std::vector<std::u16string_view> named(line.cells.begin(),
                                                     line.cells.begin() + long(students));
        const std::vector<std::u16string> keys = keysOf(named);
        if (keys.empty() && keysOf(line.cells).empty())
            continue;
        ++match.lines;

        const std::vector<std::size_t> found = index.rowsHolding(keys);
        if (found.size() == 1) {
            claims[found.front()].emplace_back(&line, students);
            continue;
        }
        std::u16string shown = joined(named);
        if (shown.empty())
            shown = joined(line.cells);
        (found.empty() ? match.notFound : match.severalRows)
            .push_back({line.place, std::move(shown)});
    }

    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto &claimed = claims[r];
        if (claimed.size() == 1) {
            const auto [line, students] = claimed.front();
            match.matched.push_back(
                {line->place, r, {line->cells.begin() + long(students), line->cells.end()}});
        } else if (claimed.size() > 1) {
            SharedStudent shared{{}, RowShown(rows[r])};
            for (const auto &[line, students] : claimed)
                shared.lines.push_back(line->place);
            match.sameStudent.push_back(std::move(shared));
        } else if (std::u16string shown = RowShown(rows[r]); !shown.empty()) {
            match.withoutScore.push_back(std::move(shown));
        }
    }
    return match;
}

bool StudentFillOffered(const StudentMatch &match)
{
    return match.matched.size() >= 2 && 2 * match.matched.size() >= match.lines;
}

} // namespace gradecast
