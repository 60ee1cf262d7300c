#pragma once

#include <string>
#include <string_view>

namespace gradecast {

// The text of a file of cells: UTF-8 (with or without its byte-order mark),
// UTF-16 (with its mark, or without it when every other byte is mostly zero,
// as the digits and separators of a sheet make it), else Big5, the code page
// of the teachers' older files.
struct SheetText {
    std::u16string text;
    std::u16string error; // a sentence for the teacher; empty when read
};
SheetText DecodeSheetText(std::string_view bytes);

} // namespace gradecast
