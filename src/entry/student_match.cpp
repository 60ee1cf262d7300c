#include "entry/student_match.h"

#include "entry/cell_key.h"
#include "entry/pasted_lines.h"

#include <algorithm>
#include <unordered_map>

namespace gradecast {

namespace {

std::u16string_view trimmed(std::u16string_view cell)
{
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\u3000' || c == u'\u00A0'; };
    while (!cell.empty() && blank(cell.front()))
        cell.remove_prefix(1);
    while (!cell.empty() && blank(cell.back()))
        cell.remove_suffix(1);
    return cell;
}

// The cells as the teacher would read them: trimmed, empty ones left out,
// joined by blanks.
template <typename Cells>
std::u16string joined(const Cells &cells)
{
    std::u16string shown;
    for (std::u16string_view cell : cells) {
        cell = trimmed(cell);
        if (cell.empty())
            continue;
        if (!shown.empty())
            shown += u' ';
        shown += cell;
    }
    return shown;
}

// The page's rows by the keys of their cells: a long paste costs a look-up
// per line, not a pass over every row.
class RowIndex
{
public:
    explicit RowIndex(const std::vector<PageRow> &rows) : m_keys(rows.size())
    {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            auto &keys = m_keys[r];
            for (const std::u16string &cell : rows[r]) {
                if (std::u16string key = CellKey(cell); !key.empty())
                    keys.push_back(std::move(key));
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

} // namespace

StudentMatch MatchStudents(std::u16string_view text, const std::vector<PageRow> &rows)
{
    const RowIndex index(rows);
    StudentMatch match;
    std::vector<std::vector<const PastedLine *>> claims(rows.size());
    const std::vector<PastedLine> lines = PastedLines(text);
    for (const PastedLine &line : lines) {
        std::vector<std::u16string> keys;
        for (std::u16string_view cell : line.students) {
            if (std::u16string key = CellKey(cell); !key.empty())
                keys.push_back(std::move(key));
        }
        if (keys.empty() && CellKey(line.score).empty())
            continue;
        ++match.lines;

        const std::vector<std::size_t> found = index.rowsHolding(keys);
        if (found.size() == 1) {
            claims[found.front()].push_back(&line);
            continue;
        }
        std::u16string shown = joined(line.students);
        if (shown.empty())
            shown = trimmed(line.score);
        (found.empty() ? match.notFound : match.severalRows)
            .push_back({line.place, std::move(shown)});
    }

    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto &claimed = claims[r];
        if (claimed.size() == 1) {
            const PastedLine &line = *claimed.front();
            match.matched.push_back({line.place, r, std::u16string(line.score)});
        } else if (claimed.size() > 1) {
            SharedStudent shared{{}, joined(rows[r])};
            for (const PastedLine *line : claimed)
                shared.lines.push_back(line->place);
            match.sameStudent.push_back(std::move(shared));
        } else if (std::u16string shown = joined(rows[r]); !shown.empty()) {
            match.withoutScore.push_back(std::move(shown));
        }
    }
    return match;
}

bool StudentFillOffered(const StudentMatch &match)
{
    return match.matched.size() >= 2 && 2 * match.matched.size() >= match.lines;
}

std::u16string StudentScoreText(const StudentMatch &match)
{
    std::u16string text;
    for (const MatchedLine &line : match.matched) {
        if (&line != &match.matched.front())
            text += u"\r\n";
        text += line.score;
    }
    return text;
}

} // namespace gradecast
