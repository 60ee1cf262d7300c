#include "workbook/ods_reader.h"

#include "workbook/cell_values.h"
#include "workbook/refusal.h"
#include "workbook/workbook_limits.h"
#include "workbook/xml_scanner.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace gradecast {
namespace {

// The names read, with the prefixes the document's root gives the
// namespaces: LibreOffice writes table:, office:, text:, others may not.
struct OdsNames {
    explicit OdsNames(const XmlScanner &xml)
    {
        const std::string table = xml.prefixOf("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
        const std::string office = xml.prefixOf("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
        const std::string text = xml.prefixOf("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
        sheet = QualifiedName(table, "table");
        sheetName = QualifiedName(table, "name");
        row = QualifiedName(table, "table-row");
        rowsRepeated = QualifiedName(table, "number-rows-repeated");
        cell = QualifiedName(table, "table-cell");
        coveredCell = QualifiedName(table, "covered-table-cell");
        columnsRepeated = QualifiedName(table, "number-columns-repeated");
        valueType = QualifiedName(office, "value-type");
        value = QualifiedName(office, "value");
        booleanValue = QualifiedName(office, "boolean-value");
        annotation = QualifiedName(office, "annotation");
        paragraph = QualifiedName(text, "p");
        spaces = QualifiedName(text, "s");
        spaceCount = QualifiedName(text, "c");
        tab = QualifiedName(text, "tab");
        lineBreak = QualifiedName(text, "line-break");
        note = QualifiedName(text, "note");
    }

    std::string sheet, sheetName, row, rowsRepeated, cell, coveredCell, columnsRepeated;
    std::string valueType, value, booleanValue, annotation;
    std::string paragraph, spaces, spaceCount, tab, lineBreak, note;
};

// A repeat count: at least 1; past the largest sheet it is as good as endless.
int repeatCount(std::string_view written)
{
    const std::optional<long long> count = XmlInteger(written);
    return count && *count > 1 ? int(std::min<long long>(*count, kMaxRows + 1)) : 1;
}

// The text of a paragraph's content up to its end: spaces (<text:s c=.>),
// and tabs and line breaks as spaces, since a cell's text goes on one line
// of the score box, its cells separated by Tab. Notes are left out.
void appendParagraph(XmlScanner &xml, const OdsNames &names, std::string &text)
{
    // Spans nest in a paragraph: it ends where the depth falls back to it.
    for (int depth = 1; depth > 0;) {
        const auto token = xml.next();
        if (token == XmlScanner::EndElement) {
            --depth;
        } else if (token == XmlScanner::Characters) {
            text += xml.text();
        } else if (xml.name() == names.spaces) {
            const int count = repeatCount(xml.attribute(names.spaceCount));
            text.append(std::size_t(std::min(count, 1000)), ' ');
            xml.skipElement();
        } else if (xml.name() == names.tab || xml.name() == names.lineBreak) {
            text += ' ';
            xml.skipElement();
        } else if (xml.name() == names.annotation || xml.name() == names.note) {
            xml.skipElement();
        } else {
            ++depth;
        }
    }
}

struct CellRun {
    std::u16string text;
    int count = 1;
};

// One cell, the reader on its start: its value, and how many times it is
// repeated along the row. A covered cell (under a merged one) is blank. A
// number's value is in its attributes: the text it shows is not read.
CellRun readCell(XmlScanner &xml, const OdsNames &names)
{
    CellRun cell{{}, repeatCount(xml.attribute(names.columnsRepeated))};
    if (xml.name() == names.coveredCell) {
        xml.skipElement();
        return cell;
    }
    const std::string_view type = xml.attribute(names.valueType);
    if (type == "float" || type == "percentage" || type == "currency") {
        cell.text = NumberCell(xml.attribute(names.value));
        xml.skipElement();
        return cell;
    }
    if (type == "boolean") {
        cell.text = BooleanCell(xml.attribute(names.booleanValue) == "true");
        xml.skipElement();
        return cell;
    }
    std::string paragraphs;
    bool first = true;
    for (auto token = xml.next(); token != XmlScanner::EndElement; token = xml.next()) {
        if (token != XmlScanner::StartElement)
            continue;
        if (xml.name() == names.paragraph) {
            if (!first)
                paragraphs += ' ';
            first = false;
            appendParagraph(xml, names, paragraphs);
        } else {
            xml.skipElement();
        }
    }
    cell.text = TextCell(paragraphs);
    return cell;
}

// The cells of one row, the reader on its start, into cells.
void readRow(XmlScanner &xml, const OdsNames &names, std::vector<CellRun> &cells)
{
    cells.clear();
    long long column = 0;
    for (;;) {
        const auto token = xml.next();
        if (token == XmlScanner::EndElement)
            return;
        if (token != XmlScanner::StartElement)
            continue;
        if (xml.name() != names.cell && xml.name() != names.coveredCell) {
            xml.skipElement();
            continue;
        }
        CellRun cell = readCell(xml, names);
        // A value past the last column refuses the file as placing it would,
        // and blanks join into one run: a row's runs stay within the columns.
        if (!cell.text.empty() && column >= kMaxColumns)
            Refuse(kTooLargeSentence);
        column += cell.count;
        if (cell.text.empty() && !cells.empty() && cells.back().text.empty())
            cells.back().count = std::min(cells.back().count + cell.count, kMaxColumns);
        else
            cells.push_back(std::move(cell));
    }
}

void placeRow(const std::vector<CellRun> &cells, int row, SheetBuilder &sheet)
{
    int column = 0;
    for (const CellRun &cell : cells) {
        if (cell.text.empty()) {
            column = int(std::min<long long>((long long)column + cell.count, kMaxColumns));
            continue;
        }
        for (int i = 0; i < cell.count; ++i)
            sheet.setCell(row, column++, cell.text);
    }
}

} // namespace

Workbook ReadOds(ZipParts &zip, CellBudget &budget)
{
    Workbook workbook;
    const auto part = zip.open(QStringLiteral("content.xml"));
    XmlScanner xml(*part);
    xml.next();
    const OdsNames names(xml);
    std::optional<SheetBuilder> sheet;
    std::vector<CellRun> cells;
    int row = 0;
    for (;;) {
        const auto token = xml.next();
        if (token == XmlScanner::EndDocument)
            break;
        if (token == XmlScanner::EndElement && sheet && xml.name() == names.sheet) {
            workbook.sheets.push_back(sheet->take());
            sheet.reset();
        }
        if (token != XmlScanner::StartElement)
            continue;
        if (xml.name() == names.sheet) {
            sheet.emplace(TextCell(xml.attribute(names.sheetName)), budget);
            row = 0;
        } else if (sheet && xml.name() == names.row) {
            const int repeats = repeatCount(xml.attribute(names.rowsRepeated));
            readRow(xml, names, cells);
            const bool blank = std::all_of(cells.begin(), cells.end(),
                                           [](const CellRun &cell) { return cell.text.empty(); });
            for (int i = 0; !blank && i < repeats; ++i)
                placeRow(cells, row + i, *sheet);
            row = int(std::min<long long>((long long)row + repeats, kMaxRows));
        }
    }
    return workbook;
}

} // namespace gradecast
