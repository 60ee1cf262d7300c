#pragma once

#include "entry/keystroke_script.h"
#include "entry/student_match.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// What goes where in one run, decided before anything is typed. The guard,
// the typing, the recorder in the page, the check and the mending all read
// this one list; nothing cuts the text again.

// A field of the clicked field's column: the row (in PageColumn::rows) and
// the text field of that row counted from the clicked column (0 is the
// clicked column's own field).
struct FieldAt {
    std::size_t row = 0;
    int column = 0;
};

struct PlannedEntry {
    int place = 0; // the entry's place among the pasted cells, 1 for the first
    std::u16string typed;
    int separators = 0;   // the separator keys at the end of keys
    KeystrokeScript keys = {}; // the typed characters, then the separators
    // Where the keys go; none: wherever the page's Tab order has put the focus.
    std::optional<FieldAt> target = {};
    std::u16string pasted = {}; // the cell as pasted
};

// The clicked field's column as the page shows it: its rows in page order,
// the row of the field the teacher clicked, and the header texts of the
// clicked row's text fields from the clicked column on (may be fewer, or none).
struct PageColumn {
    std::vector<PageRow> rows;
    std::size_t clicked = 0;
    std::vector<std::u16string> headers;
};

struct FillPlan {
    enum class Kind {
        TabOrder, // no column: each entry where the page's Tab order goes
        Column,   // entry i into the field of the i-th row from the clicked one
        Block,    // line i into row i from the clicked one, its cells along the row
        Students, // each line into its own student's row
    };
    Kind kind = Kind::TabOrder;
    std::vector<PlannedEntry> entries; // at most MaxEntriesPerRun
    // Entries past the column's last row (lines, in a block fill): not typed,
    // and the first few named before the run with their places and texts.
    std::size_t pastTheColumnCount = 0;
    std::vector<std::pair<int, std::u16string>> pastTheColumn;
    // Entries with a place to go that the limit of a run leaves out.
    std::size_t pastTheLimit = 0;
    // Cells with no text field in their row: not typed.
    std::vector<std::pair<int, std::u16string>> withoutField;
    // How many pasted lines a block has, and how many cells its widest line
    // (of those read).
    std::size_t lines = 0;
    int cellsPerLine = 1;
};

// The plan of a fill in pasted order over normalised text. A column (rows
// from the page) turns it into a column fill, or, when its lines hold several
// cells and the clicked row has more than one text field from the clicked
// column on, a block fill. Without separator keys the whole text is one
// entry typed into the clicked field, as the teacher asked.
FillPlan PlanInOrder(std::u16string_view text, const FillOptions &options,
                     const PageColumn &column);

// The plan of a student fill: each matched line's score cells into its row,
// the first into the clicked column, the next into the next text field of
// the row. Rows in page order; entries past MaxEntriesPerRun are left out.
FillPlan PlanByStudent(const StudentMatch &match, const FillOptions &options,
                       const PageColumn &column);

// How the plan's lengths differ from the column's, for the guard: entries
// past the last row, students left without a score; empty when the paste
// fits or the plan follows no column.
std::u16string ColumnLengthLines(const FillPlan &plan, const PageColumn &column);

// "每列有 2 格：從游標這一欄起填入 2 欄（第一次小考、第二次小考）" for a block,
// and the cells with no field of their own; empty otherwise.
std::u16string BlockLines(const FillPlan &plan, const PageColumn &column);

} // namespace gradecast
