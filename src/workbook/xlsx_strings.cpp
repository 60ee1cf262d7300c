#include "workbook/xlsx_strings.h"

#include "workbook/refusal.h"
#include "workbook/workbook_limits.h"

namespace gradecast {

namespace {

// The texts (<t>) among the current element's children and in its runs (<r>).
void appendTexts(QXmlStreamReader &xml, QString &text)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == u"t")
            text += xml.readElementText();
        else if (xml.name() == u"r")
            appendTexts(xml, text);
        else
            xml.skipCurrentElement();
    }
}

} // namespace

std::u16string ReadStringItem(QXmlStreamReader &xml)
{
    QString text;
    appendTexts(xml, text);
    return text.toStdU16String();
}

std::vector<std::u16string> ReadSharedStrings(ZipPart &part)
{
    std::vector<std::u16string> strings;
    QXmlStreamReader xml(&part);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"si")
            continue;
        if (strings.size() == kMaxSharedStrings)
            Refuse(kTooLargeSentence);
        strings.push_back(ReadStringItem(xml));
    }
    if (xml.hasError())
        part.refuse();
    return strings;
}

} // namespace gradecast
