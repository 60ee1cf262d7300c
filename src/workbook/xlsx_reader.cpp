#include "workbook/xlsx_reader.h"

#include "workbook/cell_reference.h"
#include "workbook/cell_values.h"
#include "workbook/package_relationships.h"
#include "workbook/refusal.h"
#include "workbook/workbook_limits.h"
#include "workbook/xlsx_strings.h"
#include "workbook/xml_scanner.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

using namespace Qt::StringLiterals;
namespace {

struct SheetEntry {
    QString name;
    QString relationshipId;
};

std::vector<SheetEntry> readSheetList(ZipParts &zip, const QString &workbookPart)
{
    std::vector<SheetEntry> sheets;
    const auto part = zip.open(workbookPart);
    QXmlStreamReader xml(part.get());
    if (!xml.readNextStartElement() || xml.name() != u"workbook")
        Refuse(xml.hasError() ? kDamagedSentence : NotATableSentence);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"sheet")
            continue;
        SheetEntry sheet{xml.attributes().value("name"_L1).toString(), {}};
        // r:id, whatever prefix the package's relationships namespace has.
        for (const QXmlStreamAttribute &attribute : xml.attributes()) {
            if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                sheet.relationshipId = attribute.value().toString();
        }
        sheets.push_back(sheet);
    }
    if (xml.hasError())
        part->refuse();
    return sheets;
}

// What a cell's type (its t) makes of its value.
enum class CellType { Number, Shared, Inline, Boolean, Written };

CellType cellType(std::string_view type)
{
    if (type == "s")
        return CellType::Shared;
    if (type == "inlineStr")
        return CellType::Inline;
    if (type == "b")
        return CellType::Boolean;
    // Formula strings, errors (#DIV/0!) and ISO dates are kept as written.
    if (type == "str" || type == "e" || type == "d")
        return CellType::Written;
    // A number. A date is a number too, days since 1899-12-30: without the
    // cell's style nothing tells it from a score, and no score is a date.
    return CellType::Number;
}

// One cell, the reader on its <c>: its value as a paste gives it.
std::u16string readCellValue(XmlScanner &xml, CellType type,
                             const std::vector<std::u16string> &strings)
{
    std::string value;
    std::u16string inlineText;
    for (auto token = xml.next(); token != XmlScanner::EndElement; token = xml.next()) {
        if (token != XmlScanner::StartElement)
            continue;
        if (xml.localName() == "v")
            xml.appendElementText(value);
        else if (xml.localName() == "is")
            inlineText = ReadStringItem(xml);
        else
            xml.skipElement();
    }
    if (type == CellType::Inline)
        return inlineText;
    if (value.empty())
        return {};
    switch (type) {
    case CellType::Shared: {
        const std::optional<long long> index = XmlInteger(value);
        if (!index || *index < 0 || std::size_t(*index) >= strings.size())
            Refuse(kDamagedSentence);
        return strings[std::size_t(*index)];
    }
    case CellType::Boolean:
        return BooleanCell(TrimmedXmlSpace(value) == "1");
    case CellType::Written:
        return TextCell(value);
    default:
        return NumberCell(value);
    }
}

void readSheet(ZipPart &part, const std::vector<std::u16string> &strings, SheetBuilder &sheet)
{
    XmlScanner xml(part);
    int row = -1;
    int column = -1;
    std::vector<CellRange> merged;
    for (auto token = xml.next(); token != XmlScanner::EndDocument; token = xml.next()) {
        if (token != XmlScanner::StartElement)
            continue;
        const std::string_view name = xml.localName();
        if (name == "row") {
            // Rows and cells may be left out: their references say where the
            // next one is; without them, each follows the one before.
            const std::optional<long long> number = XmlInteger(xml.attribute("r"));
            row = number ? int(std::clamp<long long>(*number, 0, kMaxRows + 1)) - 1 : row + 1;
            column = -1;
        } else if (name == "c") {
            const auto position = ParseCellReference(xml.attribute("r"));
            if (position) {
                row = position->row;
                column = position->column;
            } else {
                ++column;
            }
            const CellType type = cellType(xml.attribute("t"));
            sheet.setCell(row, column, readCellValue(xml, type, strings));
        } else if (name == "mergeCell") {
            if (const auto range = ParseCellRange(xml.attribute("ref")))
                merged.push_back(*range);
        }
    }
    for (const CellRange &range : merged)
        sheet.blankMerged(range.first.row, range.first.column, range.last.row, range.last.column);
}

} // namespace

Workbook ReadXlsx(ZipParts &zip, CellBudget &budget)
{
    const Relationships packageRelationships = ReadRelationships(zip, {});
    const Relationship *main = FindRelationship(packageRelationships, u"officeDocument");
    const QString workbookPart = main ? main->part : QStringLiteral("xl/workbook.xml");
    if (!zip.contains(workbookPart))
        Refuse(main ? kDamagedSentence : NotATableSentence);
    // An .xlsb keeps the same package with binary parts instead of XML.
    if (workbookPart.endsWith(".bin"_L1, Qt::CaseInsensitive))
        Refuse(kBinaryWorkbookSentence);
    const std::vector<SheetEntry> entries = readSheetList(zip, workbookPart);
    const Relationships relationships = ReadRelationships(zip, workbookPart);

    std::vector<std::u16string> strings;
    if (const Relationship *shared = FindRelationship(relationships, u"sharedStrings"))
        strings = ReadSharedStrings(*zip.open(shared->part));

    Workbook workbook;
    for (const SheetEntry &entry : entries) {
        const auto found = relationships.find(entry.relationshipId);
        if (found == relationships.end())
            Refuse(kDamagedSentence);
        // Chart sheets and dialog sheets hold no cells.
        if (!found->second.type.endsWith(u"/worksheet"))
            continue;
        SheetBuilder sheet(entry.name.toStdU16String(), budget);
        readSheet(*zip.open(found->second.part), strings, sheet);
        workbook.sheets.push_back(sheet.take());
    }
    return workbook;
}

} // namespace gradecast
