#include "workbook/ods_reader.h"

#include "workbook/cell_values.h"
#include "workbook/refusal.h"
#include "workbook/workbook_limits.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <optional>
#include <vector>

namespace gradecast {
namespace {

using namespace Qt::StringLiterals;

constexpr QLatin1StringView kTable = "urn:oasis:names:tc:opendocument:xmlns:table:1.0"_L1;
constexpr QLatin1StringView kOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"_L1;
constexpr QLatin1StringView kText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"_L1;

bool isElement(const QXmlStreamReader &xml, QLatin1StringView space, QStringView name)
{
    return xml.name() == name && xml.namespaceUri() == space;
}

// A repeat count: at least 1; past the largest sheet it is as good as endless.
int repeatCount(const QXmlStreamAttributes &attributes, QLatin1StringView name)
{
    bool ok = false;
    const qlonglong count = attributes.value(kTable, name).toLongLong(&ok);
    return ok && count > 1 ? int(std::min<qlonglong>(count, kMaxRows + 1)) : 1;
}

// The text of a paragraph's content up to its end: spaces (<text:s c=.>),
// and tabs and line breaks as spaces, since a cell's text goes on one line
// of the score box, its cells separated by Tab. Notes are left out.
void appendParagraph(QXmlStreamReader &xml, QString &text)
{
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement)
            return;
        if (token == QXmlStreamReader::Characters) {
            text += xml.text();
        } else if (token == QXmlStreamReader::StartElement) {
            if (isElement(xml, kText, u"s")) {
                text += QString(std::clamp(repeatCount(xml.attributes(), "c"_L1), 1, 1000), u' ');
                xml.skipCurrentElement();
            } else if (isElement(xml, kText, u"tab") || isElement(xml, kText, u"line-break")) {
                text += u' ';
                xml.skipCurrentElement();
            } else if (isElement(xml, kOffice, u"annotation") || isElement(xml, kText, u"note")) {
                xml.skipCurrentElement();
            } else {
                appendParagraph(xml, text);
            }
        }
    }
}

struct CellRun {
    std::u16string text;
    int count = 1;
};

// One cell, the reader on its start: its value, and how many times it is
// repeated along the row. A covered cell (under a merged one) is blank.
CellRun readCell(QXmlStreamReader &xml)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    CellRun cell{{}, repeatCount(attributes, "number-columns-repeated"_L1)};
    const bool covered = xml.name() == u"covered-table-cell";
    QString paragraphs;
    while (xml.readNextStartElement()) {
        if (!covered && isElement(xml, kText, u"p")) {
            if (!paragraphs.isEmpty())
                paragraphs += u' ';
            appendParagraph(xml, paragraphs);
        } else {
            xml.skipCurrentElement();
        }
    }
    if (covered)
        return cell;
    const QStringView type = attributes.value(kOffice, "value-type"_L1);
    if (type == u"float" || type == u"percentage" || type == u"currency")
        cell.text = NumberCell(attributes.value(kOffice, "value"_L1));
    else if (type == u"boolean")
        cell.text = BooleanCell(attributes.value(kOffice, "boolean-value"_L1) == u"true");
    else
        cell.text = paragraphs.toStdU16String();
    return cell;
}

// The cells of one row, the reader on its start.
std::vector<CellRun> readRow(QXmlStreamReader &xml)
{
    std::vector<CellRun> cells;
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() == kTable
            && (xml.name() == u"table-cell" || xml.name() == u"covered-table-cell"))
            cells.push_back(readCell(xml));
        else
            xml.skipCurrentElement();
    }
    return cells;
}

void placeRow(const std::vector<CellRun> &cells, int row, SheetBuilder &sheet)
{
    int column = 0;
    for (const CellRun &cell : cells) {
        if (cell.text.empty()) {
            column = int(std::min<qlonglong>(qlonglong(column) + cell.count, kMaxColumns));
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
    QXmlStreamReader xml(part.get());
    std::optional<SheetBuilder> sheet;
    int row = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && sheet && isElement(xml, kTable, u"table")) {
            workbook.sheets.push_back(sheet->take());
            sheet.reset();
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (isElement(xml, kTable, u"table")) {
            sheet.emplace(xml.attributes().value(kTable, "name"_L1).toString().toStdU16String(),
                          budget);
            row = 0;
        } else if (sheet && isElement(xml, kTable, u"table-row")) {
            const int repeats = repeatCount(xml.attributes(), "number-rows-repeated"_L1);
            const std::vector<CellRun> cells = readRow(xml);
            const bool blank = std::all_of(cells.begin(), cells.end(),
                                           [](const CellRun &cell) { return cell.text.empty(); });
            for (int i = 0; !blank && i < repeats; ++i)
                placeRow(cells, row + i, *sheet);
            row = int(std::min<qlonglong>(qlonglong(row) + repeats, kMaxRows));
        }
    }
    if (xml.hasError())
        part->refuse();
    return workbook;
}

} // namespace gradecast
