#include "settings/ansi_codec.h"

#include "text/utf16.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <optional>

namespace gradecast {

namespace {

// glibc's CP950 (an alias of its BIG5) maps the standard and ETEN parts like
// Windows, including 0xC6A1..0xC8FE; only the user-defined rows are left out.
constexpr const char *Big5CodePage = "CP950";

std::string &ansiCodePageOverride()
{
    static std::string codePage;
    return codePage;
}

const char *ansiCodePage()
{
    return ansiCodePageOverride().empty() ? Big5CodePage : ansiCodePageOverride().c_str();
}
constexpr const char *Utf16 = "UTF-16LE";

bool isLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

bool isTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE);
}

int cellIndex(unsigned char trail) { return trail <= 0x7E ? trail - 0x40 : trail - 0xA1 + 63; }

unsigned char trailAt(int cell)
{
    return static_cast<unsigned char>(cell < 63 ? 0x40 + cell : 0xA1 + cell - 63);
}

// Windows maps the user-defined rows of code page 950 onto the private use
// area in row order, 157 cells a row, so names typed with custom characters
// survive a round trip through the file.
struct UserDefinedRows {
    unsigned char firstLead;
    unsigned char lastLead;
    char16_t firstChar;
};
constexpr int CellsPerRow = 157;
constexpr std::array<UserDefinedRows, 3> UserDefinedAreas{{
    {0xFA, 0xFE, 0xE000},
    {0x8E, 0xA0, 0xE311},
    {0x81, 0x8D, 0xEEB8},
}};

std::optional<char16_t> userDefinedChar(unsigned char lead, unsigned char trail)
{
    for (const UserDefinedRows &area : UserDefinedAreas) {
        if (lead >= area.firstLead && lead <= area.lastLead)
            return static_cast<char16_t>(area.firstChar + (lead - area.firstLead) * CellsPerRow
                                         + cellIndex(trail));
    }
    return std::nullopt;
}

std::optional<std::string> userDefinedBytes(char16_t c)
{
    for (const UserDefinedRows &area : UserDefinedAreas) {
        const int rows = area.lastLead - area.firstLead + 1;
        if (c >= area.firstChar && c < area.firstChar + rows * CellsPerRow) {
            const int offset = c - area.firstChar;
            return std::string{static_cast<char>(area.firstLead + offset / CellsPerRow),
                               static_cast<char>(trailAt(offset % CellsPerRow))};
        }
    }
    return std::nullopt;
}

class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    bool opened() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    ~Converter()
    {
        if (opened())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts input from pos on, appending to output, until the end or the
    // first sequence that cannot be converted; returns where it stopped.
    std::size_t convert(std::string_view input, std::size_t pos, std::string &output)
    {
        std::array<char, 512> chunk;
        while (pos < input.size()) {
            char *in = const_cast<char *>(input.data()) + pos;
            std::size_t inLeft = input.size() - pos;
            char *out = chunk.data();
            std::size_t outLeft = chunk.size();
            const std::size_t result = iconv(m_cd, &in, &inLeft, &out, &outLeft);
            const int error = errno;
            output.append(chunk.data(), out - chunk.data());
            pos = input.size() - inLeft;
            if (result == static_cast<std::size_t>(-1) && error != E2BIG)
                break;
        }
        return pos;
    }

private:
    iconv_t m_cd;
};

std::string utf16Bytes(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::u16string utf16Text(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i])
                                             | static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

} // namespace

std::optional<std::string> AnsiFromUnicode(std::u16string_view text)
{
    Converter converter(ansiCodePage(), Utf16);
    if (!converter.opened())
        return std::nullopt;
    const std::string input = utf16Bytes(text);
    std::string output;
    std::size_t pos = 0;
    while ((pos = converter.convert(input, pos, output)) < input.size()) {
        const std::size_t unit = pos / 2;
        const bool pair = SurrogatePairAt(text, unit);
        const std::optional<std::string> custom = userDefinedBytes(text[unit]);
        output += custom ? *custom : "?";
        pos += pair ? 4 : 2;
    }
    return output;
}

std::optional<std::u16string> UnicodeFromAnsi(std::string_view bytes)
{
    Converter converter(Utf16, ansiCodePage());
    if (!converter.opened())
        return std::nullopt;
    std::string output;
    std::size_t pos = 0;
    while ((pos = converter.convert(bytes, pos, output)) < bytes.size()) {
        const std::size_t length = ansiCharLength(bytes, pos);
        const std::optional<char16_t> custom =
            length == 2 ? userDefinedChar(bytes[pos], bytes[pos + 1]) : std::nullopt;
        output += utf16Bytes(std::u16string(1, custom.value_or(u'\uFFFD')));
        pos += length;
    }
    return utf16Text(output);
}

void OverrideAnsiCodePage(std::string codePage)
{
    ansiCodePageOverride() = std::move(codePage);
}

std::size_t ansiCharLength(std::string_view bytes, std::size_t pos)
{
    const bool pair =
        pos + 1 < bytes.size() && isLeadByte(bytes[pos]) && isTrailByte(bytes[pos + 1]);
    return pair ? 2 : 1;
}

std::size_t ansiCutLength(std::string_view bytes, std::size_t limit)
{
    if (bytes.size() <= limit)
        return bytes.size();
    std::size_t pos = 0;
    while (pos < limit) {
        const std::size_t next = pos + ansiCharLength(bytes, pos);
        if (next > limit)
            break;
        pos = next;
    }
    return pos;
}

} // namespace gradecast
