#include "workbook/xlsx_reader.h"

#include "workbook/cell_reference.h"
#include "workbook/cell_values.h"
#include "workbook/package_relationships.h"
#include "workbook/refusal.h"
#include "workbook/xlsx_strings.h"

#include <QXmlStreamReader>

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

// One cell, the reader on its <c>: its value as a paste gives it.
std::u16string readCellValue(QXmlStreamReader &xml, QStringView type,
                             const std::vector<std::u16string> &strings)
{
    QString value;
    std::u16string inlineText;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"v")
            value = xml.readElementText();
        else if (xml.name() == u"is")
            inlineText = ReadStringItem(xml);
        else
            xml.skipCurrentElement();
    }
    if (type == u"inlineStr")
        return inlineText;
    if (value.isEmpty())
        return {};
    if (type == u"s") {
        bool ok = false;
        const qulonglong index = value.toULongLong(&ok);
        if (!ok || index >= strings.size())
            Refuse(kDamagedSentence);
        return strings[index];
    }
    if (type == u"b")
        return BooleanCell(value.trimmed() == u"1");
    // Formula strings, errors (#DIV/0!) and ISO dates are kept as written.
    if (type == u"str" || type == u"e" || type == u"d")
        return value.toStdU16String();
    // A number. A date is a number too, days since 1899-12-30: without the
    // cell's style nothing tells it from a score, and no score is a date.
    return NumberCell(value);
}

void readSheet(ZipPart &part, const std::vector<std::u16string> &strings, SheetBuilder &sheet)
{
    QXmlStreamReader xml(&part);
    int row = -1;
    int column = -1;
    std::vector<CellRange> merged;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        if (name == u"row") {
            // Rows and cells may be left out: their references say where the
            // next one is; without them, each follows the one before.
            bool ok = false;
            const int number = xml.attributes().value("r"_L1).toInt(&ok);
            row = ok ? number - 1 : row + 1;
            column = -1;
        } else if (name == u"c") {
            const QXmlStreamAttributes attributes = xml.attributes();
            const auto position = ParseCellReference(attributes.value("r"_L1));
            if (position) {
                row = position->row;
                column = position->column;
            } else {
                ++column;
            }
            const QString type = attributes.value("t"_L1).toString();
            sheet.setCell(row, column, readCellValue(xml, type, strings));
        } else if (name == u"mergeCell") {
            if (const auto range = ParseCellRange(xml.attributes().value("ref"_L1)))
                merged.push_back(*range);
        }
    }
    if (xml.hasError())
        part.refuse();
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
