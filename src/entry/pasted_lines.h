#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// A block copied from a spreadsheet: lines end at CR (and the LF after it),
// cells are separated by Tab.
struct PastedLine {
    int place = 0;                          // 1 for the first line
    std::vector<std::u16string_view> cells; // at least one; an empty cell: absent
    bool empty() const { return cells.size() == 1 && cells.front().empty(); }
};

// The lines of normalised text, as views into it, at most limit of them
// (reading stops there, so a huge paste costs no more). An empty text has
// none; a trailing Tab leaves an empty last cell.
std::vector<PastedLine> PastedLines(std::u16string_view text,
                                    std::size_t limit = std::size_t(-1));

// How many lines the text holds.
std::size_t LineCount(std::u16string_view text);

// Whether some line holds more than one cell: only then can the lines name
// students, and only then is the page looked into.
bool HoldsSeveralCells(std::u16string_view text);

// "第 3 列「17 王小明」": a pasted line named by its place and what it holds.
std::u16string LineHead(int place, std::u16string_view shown);

} // namespace gradecast
