#pragma once

#include "workbook/xml_scanner.h"
#include "workbook/zip_parts.h"

#include <string>
#include <vector>

namespace gradecast {

// The text of a string item (<si> of the shared strings, <is> of an inline
// string), the reader on its start: its plain text or its runs of rich text
// joined, without the phonetic guide (<rPh>) that a Japanese or Chinese
// spreadsheet keeps beside the text. Leaves the reader past its end.
std::u16string ReadStringItem(XmlScanner &xml);

// The workbook's table of shared strings, in order; more than
// kMaxSharedStrings refuse the file as too large.
std::vector<std::u16string> ReadSharedStrings(ZipPart &part);

} // namespace gradecast
