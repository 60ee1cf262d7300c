#include "sheet/sheet_columns.h"

#include "text/blanks.h"

#include <algorithm>
#include <array>

namespace gradecast {

namespace {

using Row = std::vector<std::u16string>;

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A cell whose whole text is a decimal number, as a number cell's text is
// written ("87.5", "-3", "1e+20"); "第1次" and "90分" are texts.
bool isNumberCell(std::u16string_view cell)
{
    const std::u16string_view text = TrimBlanks(cell);
    std::size_t i = 0;
    const auto skipSign = [&] { i += i < text.size() && (text[i] == u'+' || text[i] == u'-'); };
    const auto skipDigits = [&] {
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        return i - start;
    };
    skipSign();
    std::size_t digits = skipDigits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        digits += skipDigits();
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        skipSign();
        if (skipDigits() == 0)
            return false;
    }
    return i == text.size();
}

bool isTextCell(std::u16string_view cell) { return !TrimBlanks(cell).empty() && !isNumberCell(cell); }

std::u16string_view cellAt(const Row &row, int column)
{
    return column < static_cast<int>(row.size()) ? std::u16string_view(row[column]) : u"";
}

int sheetWidth(const Sheet &sheet)
{
    std::size_t width = 0;
    for (const Row &row : sheet.rows)
        width = std::max(width, row.size());
    return static_cast<int>(width);
}

char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; }

// At most three letters: XFD is a sheet's last column.
std::optional<int> columnOfLetters(std::u16string_view name)
{
    if (name.empty() || name.size() > 3)
        return std::nullopt;
    int column = 0;
    for (char16_t c : name) {
        const char16_t lower = asciiLower(c);
        if (lower < u'a' || lower > u'z')
            return std::nullopt;
        column = column * 26 + (lower - u'a' + 1);
    }
    return column - 1;
}

// Headers that contain one of these name students (班級座號 contains 座號).
constexpr std::array<std::u16string_view, 7> ChineseStudentWords{
    u"座號", u"座位", u"學號", u"姓名", u"名字", u"學生", u"號碼"};
// English ones count as whole words, so that "Midterm" is no ID.
constexpr std::array<std::u16string_view, 4> EnglishStudentWords{u"no", u"id", u"name",
                                                                 u"student"};

bool isAsciiLetter(char16_t c) { return asciiLower(c) >= u'a' && asciiLower(c) <= u'z'; }

bool isEnglishStudentWord(std::u16string_view word)
{
    std::u16string lower(word);
    std::transform(lower.begin(), lower.end(), lower.begin(), asciiLower);
    return std::find(EnglishStudentWords.begin(), EnglishStudentWords.end(), lower)
        != EnglishStudentWords.end();
}

} // namespace

std::u16string ColumnLetters(int column)
{
    std::u16string letters;
    for (long long n = column + 1LL; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char16_t>(u'A' + (n - 1) % 26));
    return letters;
}

std::optional<int> GuessHeaderRow(const Sheet &sheet)
{
    const auto firstNumbers = std::find_if(sheet.rows.begin(), sheet.rows.end(), [](const Row &row) {
        return std::any_of(row.begin(), row.end(), isNumberCell);
    });
    if (firstNumbers == sheet.rows.end())
        return std::nullopt;
    // The column's text, not any text: a first student without a score (a
    // name, a blank) is no header over the scores of the next.
    for (int row = static_cast<int>(firstNumbers - sheet.rows.begin()) - 1; row >= 0; --row) {
        const Row &above = sheet.rows[row];
        for (std::size_t column = 0; column < std::min(above.size(), firstNumbers->size()); ++column) {
            if (isTextCell(above[column]) && isNumberCell((*firstNumbers)[column]))
                return row;
        }
    }
    return std::nullopt;
}

TakenRows RowsUnderHeader(const Sheet &sheet, std::optional<int> headerRow)
{
    return {headerRow ? *headerRow + 1 : 0, static_cast<int>(sheet.rows.size()) - 1};
}

std::optional<int> FindColumn(const Sheet &sheet, std::optional<int> headerRow,
                              std::u16string_view name)
{
    const std::u16string_view wanted = TrimBlanks(name);
    if (wanted.empty())
        return std::nullopt;
    if (headerRow && *headerRow >= 0 && *headerRow < static_cast<int>(sheet.rows.size())) {
        const Row &header = sheet.rows[*headerRow];
        auto found = std::find(header.begin(), header.end(), name);
        if (found == header.end())
            found = std::find_if(header.begin(), header.end(),
                                 [wanted](const std::u16string &cell) { return TrimBlanks(cell) == wanted; });
        if (found != header.end())
            return static_cast<int>(found - header.begin());
    }
    const std::optional<int> column = columnOfLetters(wanted);
    if (column && *column < sheetWidth(sheet))
        return column;
    return std::nullopt;
}

bool IsStudentHeader(std::u16string_view header)
{
    for (std::u16string_view word : ChineseStudentWords) {
        if (header.find(word) != std::u16string_view::npos)
            return true;
    }
    for (auto start = header.begin(); start != header.end();) {
        const auto end = std::find_if_not(start, header.end(), isAsciiLetter);
        if (end != start && isEnglishStudentWord(std::u16string_view(&*start, end - start)))
            return true;
        start = end == header.end() ? end : end + 1;
    }
    return false;
}

ChosenLines LinesOfColumns(const Sheet &sheet, TakenRows rows, std::vector<int> columns)
{
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    columns.erase(columns.begin(), std::lower_bound(columns.begin(), columns.end(), 0));
    ChosenLines chosen;
    if (columns.empty())
        return chosen;
    const int first = std::max(rows.first, 0);
    const int last = std::min(rows.last, static_cast<int>(sheet.rows.size()) - 1);
    const auto blankRow = [&](int row) {
        return std::all_of(columns.begin(), columns.end(), [&](int column) {
            return TrimBlanks(cellAt(sheet.rows[row], column)).empty();
        });
    };
    int lastKept = last;
    while (lastKept >= first && blankRow(lastKept))
        --lastKept;
    for (int row = first; row <= lastKept; ++row) {
        if (row > first)
            chosen.text += u"\r\n";
        for (int column : columns) {
            if (column != columns.front())
                chosen.text += u'\t';
            const std::size_t start = chosen.text.size();
            chosen.text += cellAt(sheet.rows[row], column);
            // A Tab or line end inside a cell would split it into two.
            std::replace_if(chosen.text.begin() + start, chosen.text.end(),
                            [](char16_t c) { return c == u'\t' || c == u'\r' || c == u'\n'; }, u' ');
        }
    }
    for (int row = lastKept + 1; row <= last; ++row)
        chosen.droppedRows.push_back(row);
    return chosen;
}

} // namespace gradecast
