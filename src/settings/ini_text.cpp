#include "settings/ini_text.h"

#include "settings/ansi_codec.h"

namespace gradecast {

namespace {

constexpr std::string_view LineEnd = "\r\n";

struct Line {
    std::size_t begin = 0;
    std::size_t textEnd = 0; // where CR or LF starts
    std::size_t end = 0;     // after the line end
};

Line lineAt(std::string_view content, std::size_t begin)
{
    Line line{begin, content.find_first_of("\r\n", begin), 0};
    if (line.textEnd == std::string_view::npos) {
        line.textEnd = line.end = content.size();
    } else {
        const bool crLf = content[line.textEnd] == '\r' && line.textEnd + 1 < content.size()
                          && content[line.textEnd + 1] == '\n';
        line.end = line.textEnd + (crLf ? 2 : 1);
    }
    return line;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Trail bytes of Big5 include letters, so double-byte characters must match
// exactly, not case-folded.
bool sameName(std::string_view a, std::string_view b)
{
    a = trimBlanks(a);
    b = trimBlanks(b);
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t length = ansiCharLength(a, i);
        if (length == 2 ? a.substr(i, 2) != b.substr(i, 2) : asciiLower(a[i]) != asciiLower(b[i]))
            return false;
        i += length;
    }
    return true;
}

enum class LineKind { Blank, Comment, Section, Entry };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    std::string_view name; // section name, or key name of an entry with "="
    bool isKey = false;    // an entry with "="
};

ParsedLine parseLine(std::string_view text)
{
    const std::string_view body = trimBlanks(text);
    if (body.empty())
        return {};
    if (body.front() == ';')
        return {LineKind::Comment, {}, false};
    if (body.front() == '[') {
        std::size_t close = 1;
        while (close < body.size() && body[close] != ']')
            close += ansiCharLength(body, close);
        return {LineKind::Section, body.substr(1, close - 1), false};
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return {LineKind::Entry, {}, false};
    return {LineKind::Entry, text.substr(0, equals), true};
}

// What one pass over the file finds for a key.
struct KeyPlace {
    bool sectionFound = false;
    std::optional<Line> keyLine;
    std::size_t insertAt = 0; // after the section's header or its last entry
};

KeyPlace findKey(std::string_view content, std::string_view section, std::string_view key)
{
    KeyPlace place;
    for (std::size_t pos = 0; pos < content.size();) {
        const Line line = lineAt(content, pos);
        pos = line.end;
        const ParsedLine parsed = parseLine(content.substr(line.begin, line.textEnd - line.begin));
        if (parsed.kind == LineKind::Section) {
            if (place.sectionFound)
                break;
            if (sameName(parsed.name, section)) {
                place.sectionFound = true;
                place.insertAt = line.end;
            }
        } else if (place.sectionFound && parsed.kind == LineKind::Entry) {
            place.insertAt = line.end;
            if (parsed.isKey && sameName(parsed.name, key)) {
                place.keyLine = line;
                break;
            }
        }
    }
    return place;
}

std::string_view unquoted(std::string_view value)
{
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
                        && value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

bool endsWithoutLineEnd(std::string_view text)
{
    return !text.empty() && text.back() != '\n' && text.back() != '\r';
}

} // namespace

std::optional<std::string_view> iniValue(std::string_view content, std::string_view section,
                                         std::string_view key)
{
    const KeyPlace place = findKey(content, section, key);
    if (!place.keyLine)
        return std::nullopt;
    const Line &line = *place.keyLine;
    const std::string_view text = content.substr(line.begin, line.textEnd - line.begin);
    return unquoted(trimBlanks(text.substr(text.find('=') + 1)));
}

std::string iniWithValue(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view value)
{
    const KeyPlace place = findKey(content, section, key);
    std::string result;
    result.reserve(content.size() + section.size() + key.size() + value.size() + 8);
    if (place.keyLine) {
        const Line &line = *place.keyLine;
        const std::size_t valueBegin = content.find('=', line.begin) + 1;
        result.append(content.substr(0, valueBegin));
        result.append(value);
        result.append(content.substr(line.textEnd));
        return result;
    }
    const std::size_t insertAt = place.sectionFound ? place.insertAt : content.size();
    const std::string_view before = content.substr(0, insertAt);
    result.append(before);
    if (endsWithoutLineEnd(before))
        result.append(LineEnd);
    if (!place.sectionFound)
        result.append("[").append(section).append("]").append(LineEnd);
    result.append(key).append("=").append(value).append(LineEnd);
    result.append(content.substr(insertAt));
    return result;
}

} // namespace gradecast
