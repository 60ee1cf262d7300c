#include "sheet/delimited_text.h"

#include "sheet/text_encoding.h"

#include <algorithm>
#include <limits>
#include <map>

namespace gradecast {

namespace {

// Enough records to see past a title and a blank line or two.
constexpr std::size_t SampleRecords = 20;

using Row = std::vector<std::u16string>;

bool isLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

// The records as RFC 4180 has them, and as Excel reads what strays from it: a
// quote inside an unquoted cell is kept, text after a closing quote joins the
// cell, and a quote never closed takes the rest of the file. Every cell the
// separators make, blank ones at the end included.
std::vector<Row> readRecords(std::u16string_view text, char16_t separator, std::size_t limit)
{
    std::vector<Row> rows;
    Row row;
    std::size_t i = 0;
    while (i < text.size() && rows.size() < limit) {
        std::u16string cell;
        if (text[i] == u'"') {
            for (++i;;) {
                const std::size_t quote = std::min(text.find(u'"', i), text.size());
                cell.append(text.substr(i, quote - i));
                i = quote + 1;
                if (i >= text.size() || text[i] != u'"')
                    break;
                cell.push_back(u'"');
                ++i;
            }
            i = std::min(i, text.size());
        }
        const auto end = std::find_if(text.begin() + i, text.end(), [separator](char16_t c) {
            return c == separator || isLineEnd(c);
        });
        cell.append(text.substr(i, end - (text.begin() + i)));
        row.push_back(std::move(cell));
        i = end - text.begin();
        if (i < text.size() && text[i] == separator) {
            ++i;
            continue;
        }
        if (i < text.size()) // CR LF, LF or CR
            i += text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
        rows.push_back(std::move(row));
        row.clear();
    }
    if (!row.empty())
        rows.push_back(std::move(row));
    return rows;
}

// How many of the first records a separator splits into the same number of
// cells, the number most of them have (a title line has one cell).
std::size_t agreeingRecords(std::u16string_view text, char16_t separator)
{
    std::map<std::size_t, std::size_t> recordsWithCells;
    for (const Row &row : readRecords(text, separator, SampleRecords)) {
        if (row.size() > 1)
            ++recordsWithCells[row.size()];
    }
    std::size_t most = 0;
    for (const auto &[cells, records] : recordsWithCells)
        most = std::max(most, records);
    return most;
}

// Tab wins a tie, as in Excel's Unicode text, then comma.
char16_t chooseSeparator(std::u16string_view text)
{
    char16_t chosen = u'\t';
    std::size_t chosenAgreeing = 0;
    for (char16_t separator : {u'\t', u',', u';'}) {
        const std::size_t agreeing = agreeingRecords(text, separator);
        if (agreeing > chosenAgreeing) {
            chosen = separator;
            chosenAgreeing = agreeing;
        }
    }
    return chosen;
}

} // namespace

WorkbookRead ReadDelimitedText(std::string_view bytes, std::u16string sheetName)
{
    SheetText decoded = DecodeSheetText(bytes);
    if (!decoded.error.empty())
        return {{}, std::move(decoded.error)};
    Sheet sheet{std::move(sheetName),
                readRecords(decoded.text, chooseSeparator(decoded.text),
                            std::numeric_limits<std::size_t>::max())};
    TrimBlankEnds(sheet);
    if (sheet.rows.empty())
        return {{}, NoCellsSentence};
    WorkbookRead read;
    read.workbook.sheets.push_back(std::move(sheet));
    return read;
}

} // namespace gradecast
