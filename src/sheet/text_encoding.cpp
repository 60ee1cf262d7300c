#include "sheet/text_encoding.h"

#include "settings/ansi_codec.h"
#include "sheet/sheet_table.h"
#include "text/utf8.h"

#include <array>
#include <optional>

namespace gradecast {

namespace {

constexpr std::u16string_view DamagedUtf8 = u"這個檔案標明是 UTF-8 文字，內容卻有損壞。";
constexpr std::u16string_view NoBig5 =
    u"這個檔案是 Big5 文字，但這台電腦缺少 Big5 的轉換程式，無法讀取。";

enum class ByteOrder { LittleEndian, BigEndian };

std::u16string fromUtf16(std::string_view bytes, ByteOrder order)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned first = static_cast<unsigned char>(bytes[i]);
        const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<char16_t>(order == ByteOrder::BigEndian
                                                 ? first << 8 | second
                                                 : second << 8 | first));
    }
    return text;
}

// UTF-16 without its mark: a quarter of the characters or more are ASCII (a
// zero byte in their high half), and zeros in the other half are rarer (a
// character like 一, U+4E00, has one there).
std::optional<ByteOrder> utf16WithoutMark(std::string_view bytes)
{
    std::array<std::size_t, 2> zeros{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        zeros[i % 2] += bytes[i] == '\0';
    const std::size_t characters = bytes.size() / 2;
    if (zeros[1] * 4 >= characters && zeros[0] * 2 < zeros[1])
        return ByteOrder::LittleEndian;
    if (zeros[0] * 4 >= characters && zeros[1] * 2 < zeros[0])
        return ByteOrder::BigEndian;
    return std::nullopt;
}

// A binary file read as text: a NUL, or many control characters and bytes
// that were no character of the code page.
bool looksLikeText(std::u16string_view text)
{
    std::size_t odd = 0;
    for (char16_t c : text) {
        if (c == u'\0')
            return false;
        odd += (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == u'\uFFFD';
    }
    return odd * 10 <= text.size();
}

bool startsWith(std::string_view bytes, std::string_view mark)
{
    return bytes.substr(0, mark.size()) == mark;
}

SheetText decoded(std::string_view bytes)
{
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        std::optional<std::u16string> text = Utf16FromUtf8(bytes.substr(3));
        return text ? SheetText{std::move(*text), {}} : SheetText{{}, std::u16string(DamagedUtf8)};
    }
    if (startsWith(bytes, "\xFF\xFE"))
        return {fromUtf16(bytes.substr(2), ByteOrder::LittleEndian), {}};
    if (startsWith(bytes, "\xFE\xFF"))
        return {fromUtf16(bytes.substr(2), ByteOrder::BigEndian), {}};
    if (const std::optional<ByteOrder> order = utf16WithoutMark(bytes))
        return {fromUtf16(bytes, *order), {}};
    if (bytes.find('\0') != std::string_view::npos)
        return {{}, NotATableSentence};
    if (std::optional<std::u16string> text = Utf16FromUtf8(bytes))
        return {std::move(*text), {}};
    if (std::optional<std::u16string> text = UnicodeFromAnsi(bytes))
        return {std::move(*text), {}};
    return {{}, std::u16string(NoBig5)};
}

} // namespace

SheetText DecodeSheetText(std::string_view bytes)
{
    SheetText read = decoded(bytes);
    if (read.error.empty() && !looksLikeText(read.text))
        return {{}, NotATableSentence};
    return read;
}

} // namespace gradecast
