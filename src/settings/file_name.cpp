#include "settings/file_name.h"

#include "text/utf16.h"

#include <algorithm>

namespace gradecast {

namespace {

bool isSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

// Characters that are no part of a name a person reads: control characters
// and the marks that turn text around, with which "<U+202E>gpj.exe" reads
// "exe.jpg".
bool isUnreadable(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x200E || c == 0x200F
        || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool isSpace(char16_t c) { return c == u' ' || c == 0x00A0 || c == 0x3000; }

// The UTF-8 length of the character that starts at i, and its UTF-16 length.
std::pair<std::size_t, std::size_t> charAt(std::u16string_view text, std::size_t i)
{
    if (SurrogatePairAt(text, i))
        return {4, 2};
    const char16_t c = text[i];
    return {c < 0x80 ? 1 : c < 0x800 ? 2 : 3, 1};
}

std::size_t utf8Length(std::u16string_view text)
{
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto [length, units] = charAt(text, i);
        bytes += length;
        i += units;
    }
    return bytes;
}

// The longest start of text that takes at most limit bytes.
std::u16string_view cutTo(std::u16string_view text, std::size_t limit)
{
    std::size_t bytes = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto [length, units] = charAt(text, i);
        if (bytes + length > limit)
            break;
        bytes += length;
        i += units;
    }
    return text.substr(0, i);
}

std::u16string cleaned(std::u16string_view given)
{
    const auto last = std::find_if(given.rbegin(), given.rend(), isSeparator);
    std::u16string name(last.base(), given.end());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (SurrogatePairAt(name, i))
            ++i;
        // A lone half of a character has no bytes in a name.
        else if (isUnreadable(name[i]) || IsHighSurrogate(name[i]) || IsLowSurrogate(name[i]))
            name[i] = u'_';
    }
    const auto first = std::find_if(name.begin(), name.end(),
                                    [](char16_t c) { return c != u'.' && !isSpace(c); });
    name.erase(name.begin(), first);
    while (!name.empty() && isSpace(name.back()))
        name.pop_back();
    return name;
}

} // namespace

std::u16string SafeFileName(std::u16string_view given, std::u16string_view fallback,
                            std::size_t limit)
{
    std::u16string name = cleaned(given);
    if (name.empty())
        name = cleaned(fallback);
    if (name.empty())
        name = u"下載";
    return FitFileName(name, limit);
}

std::u16string FitFileName(std::u16string_view name, std::size_t limit)
{
    if (utf8Length(name) <= limit)
        return std::u16string(name);
    // A dot in front marks no extension; an "extension" of half the room is
    // part of the name.
    const std::size_t dot = name.rfind(u'.');
    const bool hasExtension = dot != std::u16string_view::npos && dot > 0
        && utf8Length(name.substr(dot)) <= limit / 2;
    const std::u16string_view extension = hasExtension ? name.substr(dot) : u"";
    const std::u16string_view stem = name.substr(0, name.size() - extension.size());
    return std::u16string(cutTo(stem, limit - utf8Length(extension))) + std::u16string(extension);
}

} // namespace gradecast
