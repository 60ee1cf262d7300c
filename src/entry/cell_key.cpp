#include "entry/cell_key.h"

#include "text/blanks.h"

#include <algorithm>

namespace gradecast {

namespace {

// U+FF01..U+FF5E are the full-width forms of "!".."~".
char16_t halfWidth(char16_t c)
{
    return c >= u'\uFF01' && c <= u'\uFF5E' ? char16_t(c - 0xFEE0) : c;
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

std::u16string CellKey(std::u16string_view cell)
{
    std::u16string key;
    key.reserve(cell.size());
    for (char16_t c : cell) {
        if (!IsBlank(c))
            key.push_back(halfWidth(c));
    }
    if (!key.empty() && std::all_of(key.begin(), key.end(), isDigit)) {
        const std::size_t first = key.find_first_not_of(u'0');
        key.erase(0, first == std::u16string::npos ? key.size() - 1 : first);
    }
    return key;
}

} // namespace gradecast
