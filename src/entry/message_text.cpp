#include "entry/message_text.h"

#include "text/utf16.h"

namespace gradecast {

namespace {

constexpr std::size_t ShownLength = 20;

} // namespace

std::u16string DecimalText(std::size_t number)
{
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + number % 10));
        number /= 10;
    } while (number != 0);
    return digits;
}

std::u16string ShownText(std::u16string_view text)
{
    if (text.size() <= ShownLength)
        return std::u16string(text);
    std::size_t cut = ShownLength;
    if (SurrogatePairAt(text, cut - 1))
        --cut; // keep a surrogate pair whole
    return std::u16string(text.substr(0, cut)) + u"…";
}

std::u16string EntryHead(int place, std::u16string_view text)
{
    return u"第 " + DecimalText(static_cast<std::size_t>(place)) + u" 筆「" + ShownText(text) + u"」";
}

} // namespace gradecast
