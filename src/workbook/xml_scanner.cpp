#include "workbook/xml_scanner.h"

#include "workbook/refusal.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace gradecast {
namespace {

// Large blocks: the inflater and the scanner each run through a block at once.
constexpr std::size_t kBlockBytes = 1 << 20;
// A cell holds at most 32,767 characters: a longer piece of text or markup
// is no spreadsheet's, and is refused rather than searched again block by block.
constexpr std::size_t kMaxTokenBytes = 16 << 20;
// Elements open at once: a sheet nests a dozen deep; thousands are no
// spreadsheet's, and each costs the stack of open names.
constexpr std::size_t kMaxDepth = 10'000;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool endsName(char c)
{
    return isSpace(c) || c == '/' || c == '>' || c == '=';
}

void appendUtf8(char32_t code, std::string &out)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

void appendEntity(std::string_view entity, std::string &out)
{
    if (entity == "lt")
        out += '<';
    else if (entity == "gt")
        out += '>';
    else if (entity == "amp")
        out += '&';
    else if (entity == "quot")
        out += '"';
    else if (entity == "apos")
        out += '\'';
    else if (entity.size() > 1 && entity[0] == '#') {
        const bool hex = entity[1] == 'x';
        const std::string_view digits = entity.substr(hex ? 2 : 1);
        std::uint32_t code = 0;
        const auto [stop, failure] =
            std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
        if (digits.empty() || failure != std::errc() || stop != digits.data() + digits.size()
            || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            Refuse(kDamagedSentence);
        appendUtf8(char32_t(code), out);
    } else {
        Refuse(kDamagedSentence);
    }
}

enum class Content { Text, Attribute, Cdata };

// XML's reading of raw content: line ends as "\n", entities resolved (not in
// CDATA), and in attribute values tabs and line ends as spaces.
std::string_view decode(std::string_view raw, Content content, std::string &out)
{
    const char *special = content == Content::Attribute ? "&\r\n\t"
                          : content == Content::Text    ? "&\r"
                                                        : "\r";
    if (raw.find_first_of(special) == std::string_view::npos)
        return raw;
    out.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '\r') {
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
            c = '\n';
        }
        if (content == Content::Attribute && (c == '\n' || c == '\t'))
            c = ' ';
        if (c != '&' || content == Content::Cdata) {
            out += c;
            continue;
        }
        const std::size_t semicolon = raw.find(';', i);
        if (semicolon == std::string_view::npos)
            Refuse(kDamagedSentence);
        appendEntity(raw.substr(i + 1, semicolon - i - 1), out);
        i = semicolon;
    }
    return out;
}

} // namespace

std::string_view TrimmedXmlSpace(std::string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<long long> XmlInteger(std::string_view text)
{
    text = TrimmedXmlSpace(text);
    long long value = 0;
    const auto [stop, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || failure != std::errc() || stop != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string QualifiedName(std::string_view prefix, std::string_view local)
{
    return prefix.empty() ? std::string(local) : std::string(prefix) + ':' + std::string(local);
}

XmlScanner::XmlScanner(ZipPart &part) : m_part(part) {}

std::string_view XmlScanner::localName() const
{
    const std::size_t colon = m_name.find(':');
    return colon == std::string_view::npos ? m_name : m_name.substr(colon + 1);
}

std::string_view XmlScanner::attribute(std::string_view name)
{
    for (std::size_t i = 0; i < m_attributes.size(); ++i) {
        if (m_attributes[i].name == name)
            return decode(m_attributes[i].value, Content::Attribute, m_values[i]);
    }
    return {};
}

std::string XmlScanner::prefixOf(std::string_view uri) const
{
    for (const auto &[prefix, declared] : m_namespaces) {
        if (declared == uri)
            return prefix;
    }
    return " ";
}

XmlScanner::Token XmlScanner::next()
{
    if (m_closePending) {
        m_closePending = false;
        --m_depth;
        return EndElement;
    }
    for (;;) {
        if (m_position == m_end && !fill()) {
            if (m_depth > 0 || !m_rootSeen)
                Refuse(kDamagedSentence);
            return EndDocument;
        }
        Token token = Characters;
        const bool scanned = m_bytes[m_position] == '<' ? scanMarkup(token) : scanText();
        if (!scanned) {
            // A token cut off by the part's end.
            if (m_atEnd)
                Refuse(kDamagedSentence);
            fill();
            continue;
        }
        // Text outside the root element is only the space between the
        // declaration, comments and the root.
        if (token != Characters || (m_depth > 0 && !m_text.empty()))
            return token;
    }
}

void XmlScanner::skipElement()
{
    const std::size_t depth = m_depth;
    while (m_depth >= depth)
        next();
}

void XmlScanner::appendElementText(std::string &text)
{
    const std::size_t depth = m_depth;
    while (m_depth >= depth) {
        if (next() == Characters)
            text += m_text;
    }
}

bool XmlScanner::scanText()
{
    const char *start = m_bytes.data() + m_position;
    const void *found = std::memchr(start, '<', m_end - m_position);
    if (!found && !m_atEnd)
        return false;
    const std::size_t length = found ? std::size_t(static_cast<const char *>(found) - start)
                                     : m_end - m_position;
    m_text = decode({start, length}, Content::Text, m_textStore);
    m_position += length;
    return true;
}

bool XmlScanner::scanMarkup(Token &token)
{
    const std::string_view rest(m_bytes.data() + m_position, m_end - m_position);
    // Enough to tell the kinds of markup apart.
    if (rest.size() < 9 && !m_atEnd)
        return false;
    // Comments and processing instructions are passed over as empty text.
    m_text = {};
    if (rest.starts_with("<?"))
        return skipPast(2, "?>");
    if (rest.starts_with("<!--"))
        return skipPast(4, "-->");
    if (rest.starts_with("<![CDATA[")) {
        const std::size_t end = rest.find("]]>");
        if (end == std::string_view::npos)
            return false;
        if (m_depth == 0)
            Refuse(kDamagedSentence);
        m_text = decode(rest.substr(9, end - 9), Content::Cdata, m_textStore);
        m_position += end + 3;
        return true;
    }
    if (rest.starts_with("<!"))
        Refuse(kDamagedSentence);
    if (rest.starts_with("</")) {
        token = EndElement;
        return scanEndTag();
    }
    token = StartElement;
    return scanStartTag();
}

bool XmlScanner::skipPast(std::size_t from, std::string_view end)
{
    const std::string_view rest(m_bytes.data() + m_position, m_end - m_position);
    const std::size_t found = rest.find(end, from);
    if (found == std::string_view::npos)
        return false;
    m_position += found + end.size();
    return true;
}

bool XmlScanner::scanStartTag()
{
    const char *bytes = m_bytes.data();
    std::size_t i = m_position + 1;
    auto nameAt = [&](std::size_t &at, std::string_view &name) {
        const std::size_t start = at;
        while (at < m_end && !endsName(bytes[at]))
            ++at;
        name = {bytes + start, at - start};
        return at < m_end;
    };
    auto skipSpace = [&](std::size_t &at) {
        while (at < m_end && isSpace(bytes[at]))
            ++at;
        return at < m_end;
    };
    std::string_view name;
    if (!nameAt(i, name))
        return false;
    if (name.empty() || (m_depth == 0 && m_rootSeen))
        Refuse(kDamagedSentence);
    m_attributes.clear();
    for (;;) {
        if (!skipSpace(i))
            return false;
        if (bytes[i] == '>' || bytes[i] == '/')
            break;
        Attribute attribute;
        if (!nameAt(i, attribute.name) || !skipSpace(i))
            return false;
        if (attribute.name.empty() || bytes[i] != '=')
            Refuse(kDamagedSentence);
        ++i;
        if (!skipSpace(i))
            return false;
        const char quote = bytes[i];
        if (quote != '"' && quote != '\'')
            Refuse(kDamagedSentence);
        const void *close = std::memchr(bytes + i + 1, quote, m_end - i - 1);
        if (!close)
            return false;
        const std::size_t end = std::size_t(static_cast<const char *>(close) - bytes);
        attribute.value = {bytes + i + 1, end - i - 1};
        m_attributes.push_back(attribute);
        i = end + 1;
        if (i < m_end && !isSpace(bytes[i]) && bytes[i] != '>' && bytes[i] != '/')
            Refuse(kDamagedSentence);
    }
    const bool empty = bytes[i] == '/';
    if (empty && i + 1 >= m_end)
        return false;
    if (empty && bytes[i + 1] != '>')
        Refuse(kDamagedSentence);
    m_position = i + (empty ? 2 : 1);
    m_name = name;
    // One store per attribute, made before any is decoded: views of values
    // decoded earlier stay valid.
    if (m_values.size() < m_attributes.size())
        m_values.resize(m_attributes.size());
    if (!m_rootSeen) {
        m_rootSeen = true;
        for (const auto &[declaration, uri] : m_attributes) {
            if (declaration == "xmlns" || declaration.starts_with("xmlns:")) {
                std::string decoded;
                const std::size_t prefix = std::min<std::size_t>(declaration.size(), 6);
                m_namespaces.emplace_back(declaration.substr(prefix),
                                          decode(uri, Content::Attribute, decoded));
            }
        }
    }
    if (m_depth == kMaxDepth)
        Refuse(kDamagedSentence);
    if (m_open.size() <= m_depth)
        m_open.resize(m_depth + 1);
    m_open[m_depth++].assign(name);
    m_closePending = empty;
    return true;
}

bool XmlScanner::scanEndTag()
{
    const std::string_view rest(m_bytes.data() + m_position, m_end - m_position);
    const std::size_t close = rest.find('>');
    if (close == std::string_view::npos)
        return false;
    std::string_view name = rest.substr(2, close - 2);
    while (!name.empty() && isSpace(name.back()))
        name.remove_suffix(1);
    if (m_depth == 0 || m_open[m_depth - 1] != name)
        Refuse(kDamagedSentence);
    --m_depth;
    m_name = name;
    m_position += close + 1;
    return true;
}

bool XmlScanner::fill()
{
    if (m_atEnd)
        return false;
    if (m_end - m_position > kMaxTokenBytes)
        Refuse(kTooLargeSentence);
    // The bytes of a token cut off at the block's end move to the front.
    if (m_position > 0)
        std::memmove(m_bytes.data(), m_bytes.data() + m_position, m_end - m_position);
    m_end -= m_position;
    m_position = 0;
    if (m_bytes.size() < m_end + kBlockBytes)
        m_bytes.resize(m_end + kBlockBytes);
    const qint64 count = m_part.read(m_bytes.data() + m_end, qint64(kBlockBytes));
    if (count < 0)
        m_part.refuse();
    m_atEnd = count == 0;
    m_end += std::size_t(count);
    return count > 0;
}

} // namespace gradecast
