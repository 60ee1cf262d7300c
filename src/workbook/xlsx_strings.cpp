#include "workbook/xlsx_strings.h"

#include "workbook/cell_values.h"
#include "workbook/refusal.h"
#include "workbook/workbook_limits.h"

namespace gradecast {

namespace {

// The texts (<t>) among the current element's children and in its runs (<r>).
void appendTexts(XmlScanner &xml, std::string &text)
{
    for (int depth = 1; depth > 0;) {
        const auto token = xml.next();
        if (token == XmlScanner::EndElement)
            --depth;
        else if (token != XmlScanner::StartElement)
            continue;
        else if (xml.localName() == "t")
            xml.appendElementText(text);
        else if (xml.localName() == "r")
            ++depth;
        else
            xml.skipElement();
    }
}

} // namespace

std::u16string ReadStringItem(XmlScanner &xml)
{
    std::string text;
    appendTexts(xml, text);
    return TextCell(text);
}

std::vector<std::u16string> ReadSharedStrings(ZipPart &part)
{
    std::vector<std::u16string> strings;
    XmlScanner xml(part);
    for (auto token = xml.next(); token != XmlScanner::EndDocument; token = xml.next()) {
        if (token != XmlScanner::StartElement || xml.localName() != "si")
            continue;
        if (strings.size() == kMaxSharedStrings)
            Refuse(kTooLargeSentence);
        strings.push_back(ReadStringItem(xml));
    }
    return strings;
}

} // namespace gradecast
