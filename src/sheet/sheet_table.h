#pragma once

#include <string>
#include <vector>

namespace gradecast {

// A spreadsheet as the texts of its cells, whatever file it came from: what
// every reader gives, and all that the box and the command line work on.
// A number cell holds the shortest text that reads back to the same value
// (87.5, never 87.499999999999986), a text cell its text, a formula its
// last computed value, a blank cell nothing. Rows may differ in length: a
// cell past a row's end is blank. Blank cells at the end of a row and blank
// rows at the end of a sheet are left out.
struct Sheet {
    std::u16string name;
    std::vector<std::vector<std::u16string>> rows;
};

// Leaves out the blank cells at the end of each row and the blank rows at the
// end, as a reader gives the sheet.
void TrimBlankEnds(Sheet &sheet);

struct Workbook {
    std::vector<Sheet> sheets;
};

// What a reader gives: the workbook, or why there is none, as a sentence for
// the teacher ("這個檔案有密碼保護。"); the caller names the file.
struct WorkbookRead {
    Workbook workbook;
    std::u16string error; // empty when the file was read
};

// The sentences every kind of file gives alike.
inline constexpr char16_t NoCellsSentence[] = u"這個檔案沒有任何儲存格。";
inline constexpr char16_t NotATableSentence[] = u"這不是試算表或文字表格檔。";

} // namespace gradecast
