#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// Scores matched to students: when the pasted lines carry the student (seat
// number, student number, name) beside the score, each score goes to the field
// of that student's row on the page, whatever order the sheet and the page
// list the students in.

// One score field's row on the page.
struct PageRow {
    // The trimmed texts of the row's other cells, as the teacher reads them.
    std::vector<std::u16string> cells;
    // The texts those cells are made of (a link's text, an avatar's initials,
    // an image's alt text): a pasted cell that equals one of them names the
    // row too, so "何芷若" finds the cell "芷何 何芷若".
    std::vector<std::u16string> pieces = {};
    // The row's text fields from the clicked column on, its own field first.
    int fields = 1;
};

// The student a row shows: its cells joined by blanks.
std::u16string RowShown(const PageRow &row);

// A pasted line that belongs to exactly one row.
struct MatchedLine {
    int line = 0;        // the pasted line, 1 for the first
    std::size_t row = 0; // index of the row (and its score field) in the page's list
    // The line's cells after its student cells, as pasted; an empty one is absent.
    std::vector<std::u16string> scores;
};

// A pasted line named to the teacher, with its student cells joined by blanks
// (its score when it has no student cell).
struct NamedLine {
    int line = 0;
    std::u16string shown;
};

// Several pasted lines for one student: none of them is typed.
struct SharedStudent {
    std::vector<int> lines;
    std::u16string shown; // the row's cells joined by blanks
};

struct StudentMatch {
    std::size_t lines = 0;               // pasted lines that hold anything
    std::vector<MatchedLine> matched;    // in page order, top to bottom
    std::vector<NamedLine> notFound;     // in pasted order
    std::vector<NamedLine> severalRows;  // match more than one row; in pasted order
    std::vector<SharedStudent> sameStudent;   // in page order
    std::vector<std::u16string> withoutScore; // rows no line is typed into, shown; page order
};

// Matches the lines of normalised text to the page's rows. A line's student
// cells are its first cell, and its second too when the line has three cells
// or more and the second is a word or names the same row with the first (座號
// and 姓名); the cells after them are its scores. A line belongs to the row
// whose cells or pieces hold every one of its student cells (compared by
// CellKey; empty cells are left out); no such row, or more than one, and it is
// not typed. Lines with nothing in them are skipped; rows with no text are
// not named as students without a score.
StudentMatch MatchStudents(std::u16string_view text, const std::vector<PageRow> &rows);

// A student fill is offered when at least half the lines, and at least two,
// match a row.
bool StudentFillOffered(const StudentMatch &match);

// The box that offers the student fill: how many lines found their student,
// up to five of each kind of line that is not typed, up to five students who
// get no score, and what the two fills do.
std::u16string StudentMatchMessage(const StudentMatch &match);

} // namespace gradecast
