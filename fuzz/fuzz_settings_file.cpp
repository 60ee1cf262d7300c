// Puts arbitrary bytes in the settings file, reads keys from it, then sets one
// key and checks the file and the reads against a plain model of the format.
//
// Input layout: the file body, then, after the last NUL byte if there is one,
// the value to write (its CR and LF bytes dropped). Without a NUL byte the
// value is a fixed address.

#include "settings/ansi_codec.h"
#include "settings/profile_store.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace gradecast {
namespace {

constexpr std::string_view Section = "GRADECAST";
constexpr std::string_view Key = "URL";
constexpr std::string_view Default = "dflt  ";
constexpr std::size_t BufferSize = 255;
constexpr std::size_t ValueLimit = BufferSize - 1;

void check(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "settings file: %s\n", what);
    std::abort();
}

// A folder of this process's own; what is left in it goes at exit.
class Folder {
public:
    Folder()
        : m_path(std::filesystem::temp_directory_path()
                 / ("gradecast-fuzz-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(m_path);
    }
    ~Folder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

const Folder &folder()
{
    static const Folder folder;
    return folder;
}

std::string fileBytes(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The model of the format: lines end in CR LF, CR or LF; after blanks and tabs
// are trimmed, an empty line is blank, ";" starts a comment, "[" a section
// header whose name runs to the first "]", anything else is an entry, and an
// entry with "=" has the key named before its first "=". Names compare without
// regard to ASCII case and to blanks around them.
struct ModelLine {
    std::size_t begin = 0;
    std::size_t textEnd = 0;
    std::size_t end = 0;
};

std::vector<ModelLine> modelLines(std::string_view content)
{
    std::vector<ModelLine> lines;
    ModelLine line;
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (content[i] != '\r' && content[i] != '\n')
            continue;
        line.textEnd = i;
        if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
            ++i;
        line.end = i + 1;
        lines.push_back(line);
        line.begin = line.end;
    }
    if (line.begin < content.size())
        lines.push_back({line.begin, content.size(), content.size()});
    return lines;
}

std::string_view blanksTrimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool sameName(std::string_view name, std::string_view upperCase)
{
    name = blanksTrimmed(name);
    if (name.size() != upperCase.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i] >= 'a' && name[i] <= 'z' ? char(name[i] - 'a' + 'A') : name[i];
        if (c != upperCase[i])
            return false;
    }
    return true;
}

// Where the key stands, or where a new line for it goes: in the first section
// named GRADECAST, up to the next header, the first URL line; a new line
// follows the section's last entry (or its header).
struct ModelPlace {
    bool sectionFound = false;
    std::optional<ModelLine> keyLine;
    std::size_t insertAt = 0;
};

ModelPlace modelPlace(std::string_view content)
{
    ModelPlace place;
    for (const ModelLine &line : modelLines(content)) {
        const std::string_view text = content.substr(line.begin, line.textEnd - line.begin);
        const std::string_view body = blanksTrimmed(text);
        if (body.empty() || body.front() == ';')
            continue;
        if (body.front() == '[') {
            if (place.sectionFound)
                break;
            if (sameName(body.substr(1, body.find(']') - 1), Section)) {
                place.sectionFound = true;
                place.insertAt = line.end;
            }
            continue;
        }
        if (!place.sectionFound)
            continue;
        place.insertAt = line.end;
        const std::size_t equals = text.find('=');
        if (equals != std::string_view::npos && sameName(text.substr(0, equals), Key)) {
            place.keyLine = line;
            break;
        }
    }
    return place;
}

bool isLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool isTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0xA1 && c <= 0xFE); }

// At most limit bytes, never ending in the first half of a Big5 character.
std::string_view cut(std::string_view bytes, std::size_t limit)
{
    std::size_t length = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const bool pair = i + 1 < bytes.size() && isLead(bytes[i]) && isTrail(bytes[i + 1]);
        i += pair ? 2 : 1;
        if (i > limit)
            break;
        length = i;
    }
    return bytes.substr(0, length);
}

// A value as it is read: blanks and tabs trimmed, one pair of equal quotation
// marks around it removed.
std::string_view readForm(std::string_view value)
{
    value = blanksTrimmed(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

std::string modelRead(std::string_view content, std::size_t limit)
{
    const ModelPlace place = modelPlace(content);
    if (!place.keyLine)
        return std::string(cut(Default.substr(0, Default.find_last_not_of(' ') + 1), limit));
    const std::string_view text =
        content.substr(place.keyLine->begin, place.keyLine->textEnd - place.keyLine->begin);
    return std::string(cut(readForm(text.substr(text.find('=') + 1)), limit));
}

std::string modelWrite(std::string_view content, std::string_view value)
{
    const ModelPlace place = modelPlace(content);
    if (place.keyLine) {
        const std::size_t valueBegin = content.find('=', place.keyLine->begin) + 1;
        return std::string(content.substr(0, valueBegin)) + std::string(value)
               + std::string(content.substr(place.keyLine->textEnd));
    }
    const std::size_t insertAt = place.sectionFound ? place.insertAt : content.size();
    std::string result(content.substr(0, insertAt));
    if (!result.empty() && result.back() != '\r' && result.back() != '\n')
        result += "\r\n";
    if (!place.sectionFound)
        result += "[" + std::string(Section) + "]\r\n";
    result += std::string(Key) + "=" + std::string(value) + "\r\n";
    return result + std::string(content.substr(insertAt));
}

// Reads through a buffer of size bytes inside a larger one, whose bytes
// after size must stay untouched.
std::string platformRead(const std::filesystem::path &file, std::size_t size)
{
    constexpr char Untouched = '\x7F';
    std::array<char, BufferSize + 16> buffer;
    buffer.fill(Untouched);
    const std::size_t length = GetPrivateProfileStringA(Section, Key, Default, buffer.data(),
                                                        size, file);
    check(size > 0 ? length < size && buffer[length] == '\0' : length == 0,
          "the read overflows its buffer or leaves it unterminated");
    for (std::size_t i = size; i < buffer.size(); ++i)
        check(buffer[i] == Untouched, "the read writes past its buffer");
    return std::string(buffer.data(), length);
}

// What StringFormINI gives for the bytes of a platform read: the text less
// its leading spaces.
std::u16string windowRead(std::string_view bytes)
{
    const std::u16string text = UnicodeFromAnsi(bytes).value_or(u"no Big5");
    const std::size_t first = text.find_first_not_of(u' ');
    return first == std::u16string::npos ? std::u16string() : text.substr(first);
}

std::u16string unicode(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

void checkReads(const std::string &content, const std::filesystem::path &file)
{
    const std::string value = platformRead(file, BufferSize);
    check(value == modelRead(content, ValueLimit), "read of URL differs from the model");
    const std::size_t small = 1 + content.size() % 8;
    check(platformRead(file, small) == modelRead(content, small - 1),
          "read into a small buffer differs from the model");
    check(platformRead(file, 0).empty(), "read into no buffer gives something");
    check(StringFormINI(unicode(Section), unicode(Key), unicode(Default), file)
              == windowRead(value),
          "StringFormINI differs from the platform read");
}

} // namespace
} // namespace gradecast

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace gradecast;
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t nul = input.rfind('\0');
    const std::string body(input.substr(0, nul));
    std::string value = "https://school.example/score";
    if (nul != std::string_view::npos) {
        value.clear();
        for (char c : input.substr(nul + 1))
            if (c != '\r' && c != '\n')
                value += c;
    }

    const std::filesystem::path file = folder().path() / "GRADECAST.INI";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(body.data(), static_cast<std::streamsize>(body.size()));

    checkReads(body, file);
    const auto otherKeys = [&file] {
        std::u16string values;
        for (std::u16string_view key : {u"DECIMAL", u"ABSENT", u"SCORE100"})
            values += StringFormINI(u"GRADECAST", key, u"", file).value_or(u"no Big5") + u'\0';
        return values;
    };
    const std::u16string othersBefore = otherKeys();

    check(WritePrivateProfileStringA(Section, Key, value, file).ok, "the write failed");
    const std::string written = fileBytes(file);
    check(written == modelWrite(body, value), "the written file differs from the model");
    check(std::distance(std::filesystem::directory_iterator(folder().path()),
                        std::filesystem::directory_iterator())
              == 1,
          "the write left a file beside the settings file");
    checkReads(written, file);
    check(platformRead(file, BufferSize) == cut(readForm(value), ValueLimit),
          "the value written does not read back");
    check(otherKeys() == othersBefore, "the write changed another key");
    return 0;
}
