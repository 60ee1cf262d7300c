#include "workbook/xls_formulas.h"

#include "settings/ansi_codec.h"
#include "sheet/number_cell.h"
#include "workbook/cell_values.h"
#include "workbook/little_endian.h"
#include "workbook/refusal.h"
#include "workbook/workbook_limits.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

namespace gradecast {
namespace {

// The records read here: the type numbers of BIFF5 and BIFF8.
constexpr std::uint16_t kFormula = 0x0006;
constexpr std::uint16_t kEndOfFile = 0x000A;
constexpr std::uint16_t kFilePass = 0x002F;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kString = 0x0207;
constexpr std::uint16_t kBeginningOfFile = 0x0809;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kFormat = 0x041E;

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kBigFive = 950;

struct Record {
    std::uint16_t type = 0;
    std::string_view data;
    std::size_t end = 0; // where the next record starts
};

Record recordAt(std::string_view stream, std::size_t at)
{
    const std::uint16_t type = LittleEndian16(stream, at);
    const std::uint16_t length = LittleEndian16(stream, at + 2);
    if (length > stream.size() - at - 4)
        Refuse(kDamagedSentence);
    return {type, stream.substr(at + 4, length), at + 4 + length};
}

// What the workbook's first records say: its version, its code page (BIFF5
// texts are in it) and where each sheet's records start.
struct Globals {
    bool biff8 = true;
    std::uint16_t codePage = 0;
    // Worksheets' offsets; nothing for the other kinds of sheet.
    std::vector<std::optional<std::size_t>> sheets;
};

// FreeXL copies a number format's text (FORMAT) and a cell's own text (LABEL)
// as long as their length says, past the record too: a record whose text does
// not fit in it refuses the file before FreeXL reads it. The text at `at`: a
// 16-bit length, in BIFF8 a flags byte and its optional fields' sizes, then
// characters of one byte or two.
void checkTextFits(std::string_view data, std::size_t at, bool biff8)
{
    std::size_t end = at + 2;
    std::size_t width = 1;
    if (biff8) {
        const auto flags = LittleEndian(data, end, 1);
        end += 1 + (flags & 0x08 ? 2 : 0) + (flags & 0x04 ? 4 : 0);
        width = flags & 0x01 ? 2 : 1;
    }
    if (end + LittleEndian16(data, at) * width > data.size())
        Refuse(kDamagedSentence);
}

Globals readGlobals(std::string_view stream)
{
    Record record = recordAt(stream, 0);
    if (record.type != kBeginningOfFile)
        Refuse(kDamagedSentence);
    Globals globals;
    globals.biff8 = LittleEndian16(record.data, 0) == kBiff8;
    while (record.type != kEndOfFile) {
        record = recordAt(stream, record.end);
        switch (record.type) {
        case kFilePass:
            Refuse(kPasswordSentence);
        case kCodePage:
            globals.codePage = LittleEndian16(record.data, 0);
            break;
        case kFormat:
            // BIFF5's format texts have a length of one byte: FreeXL stays
            // inside its buffer.
            if (globals.biff8)
                checkTextFits(record.data, 2, true);
            break;
        case kBoundSheet: {
            constexpr unsigned kWorksheet = 0;
            const bool worksheet = LittleEndian16(record.data, 4) >> 8 == kWorksheet;
            globals.sheets.push_back(worksheet ? std::optional<std::size_t>(LittleEndian32(record.data, 0))
                                               : std::nullopt);
            break;
        }
        default:
            break;
        }
    }
    return globals;
}

std::u16string codePageText(std::string_view bytes, std::uint16_t codePage)
{
    if (codePage == kBigFive) {
        if (auto text = UnicodeFromAnsi(bytes))
            return *std::move(text);
    }
    // Western code pages share ASCII with Latin-1, which the rest is read as.
    std::u16string text;
    for (const char byte : bytes)
        text.push_back(static_cast<unsigned char>(byte));
    return text;
}

void appendCharacters(std::u16string &text, std::string_view bytes, bool wide, std::size_t count)
{
    const std::size_t take = std::min(count - text.size(), bytes.size() / (wide ? 2 : 1));
    for (std::size_t i = 0; i < take; ++i) {
        text.push_back(wide ? char16_t(LittleEndian16(bytes, 2 * i))
                            : char16_t(static_cast<unsigned char>(bytes[i])));
    }
}

// The text of a formula, in a STRING record and the CONTINUE records after it
// when it is longer than a record holds. BIFF8 starts the characters with a
// flags byte (bit 0: two bytes a character), and each CONTINUE with another,
// as Excel and LibreOffice write it; Gnumeric splits the bytes where a record
// is full, mid-character too, without one: a text whose bytes add up without
// them is read as one run. BIFF5 texts are in the workbook's code page.
std::u16string stringResult(std::string_view stream, const Record &record, const Globals &globals)
{
    const std::size_t count = LittleEndian16(record.data, 0);
    if (count == 0)
        return {};
    std::vector<std::string_view> pieces{record.data.substr(2)};
    for (std::size_t at = record.end; at < stream.size();) {
        const Record more = recordAt(stream, at);
        if (more.type != kContinue)
            break;
        pieces.push_back(more.data);
        at = more.end;
    }
    bool wide = false;
    if (globals.biff8) {
        wide = LittleEndian(pieces[0], 0, 1) & 1;
        pieces[0].remove_prefix(1);
    }
    std::string run;
    for (const std::string_view piece : pieces)
        run.append(piece);
    if (!globals.biff8) {
        if (run.size() < count)
            Refuse(kDamagedSentence);
        return codePageText(std::string_view(run).substr(0, count), globals.codePage);
    }
    std::u16string text;
    if (run.size() == count * (wide ? 2 : 1)) {
        appendCharacters(text, run, wide, count);
        return text;
    }
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::string_view piece = pieces[i];
        if (i > 0 && !piece.empty()) {
            wide = piece[0] & 1;
            piece.remove_prefix(1);
        }
        appendCharacters(text, piece, wide, count);
    }
    if (text.size() < count)
        Refuse(kDamagedSentence);
    return text;
}

std::u16string errorText(std::uint8_t code)
{
    switch (code) {
    case 0x00:
        return u"#NULL!";
    case 0x07:
        return u"#DIV/0!";
    case 0x0F:
        return u"#VALUE!";
    case 0x17:
        return u"#REF!";
    case 0x1D:
        return u"#NAME?";
    case 0x24:
        return u"#NUM!";
    case 0x2A:
        return u"#N/A";
    default:
        return {};
    }
}

// What is left to read of the stream: the sheets' records lie apart, so all
// of them together are no longer than the stream. Sheets listed at the same
// place would have it read again and again.
struct Reading {
    std::string_view stream;
    const Globals &globals;
    std::size_t bytesLeft = 0;
    std::size_t results = 0;
};

void add(Reading &reading, std::vector<FormulaResult> &results, int row, int column,
         std::u16string text)
{
    if (text.empty())
        return;
    if (++reading.results > kMaxCells)
        Refuse(kTooLargeSentence);
    results.push_back({row, column, std::move(text)});
}

std::vector<FormulaResult> sheetResults(Reading &reading, std::size_t start)
{
    std::vector<FormulaResult> results;
    // A formula whose text result is in the STRING record after it.
    std::optional<std::pair<int, int>> awaitingText;
    // A chart inside the sheet has records of its own between BOF and EOF.
    int depth = 0;
    for (std::size_t at = start; depth > 0 || at == start;) {
        const Record record = recordAt(reading.stream, at);
        if (record.end - at > reading.bytesLeft)
            Refuse(kDamagedSentence);
        reading.bytesLeft -= record.end - at;
        if (at == start && record.type != kBeginningOfFile)
            Refuse(kDamagedSentence);
        at = record.end;
        if (record.type == kBeginningOfFile) {
            ++depth;
        } else if (record.type == kEndOfFile) {
            --depth;
        } else if (record.type == kFormula && depth == 1) {
            awaitingText.reset();
            const int row = LittleEndian16(record.data, 0);
            const int column = LittleEndian16(record.data, 2);
            // The result's 8 bytes: a double, unless the last two are FFFF;
            // then the first says what the result is.
            if (LittleEndian16(record.data, 12) != 0xFFFF) {
                const std::uint64_t bits = LittleEndian(record.data, 6, 8);
                double value = 0;
                std::memcpy(&value, &bits, sizeof value);
                add(reading, results, row, column, NumberCellText(value));
                continue;
            }
            const auto kind = std::uint8_t(record.data[6]);
            const auto detail = std::uint8_t(record.data[8]);
            if (kind == 0)
                awaitingText.emplace(row, column);
            else if (kind == 1)
                add(reading, results, row, column, BooleanCell(detail != 0));
            else if (kind == 2)
                add(reading, results, row, column, errorText(detail));
        } else if (record.type == kLabel) {
            checkTextFits(record.data, 6, reading.globals.biff8);
        } else if (record.type == kString && awaitingText) {
            add(reading, results, awaitingText->first, awaitingText->second,
                stringResult(reading.stream, record, reading.globals));
            awaitingText.reset();
        }
    }
    return results;
}

} // namespace

std::vector<std::vector<FormulaResult>> XlsFormulaResults(std::string_view stream)
{
    const Globals globals = readGlobals(stream);
    Reading reading{stream, globals, stream.size()};
    std::vector<std::vector<FormulaResult>> sheets;
    for (const auto &start : globals.sheets)
        sheets.push_back(start ? sheetResults(reading, *start) : std::vector<FormulaResult>());
    return sheets;
}

} // namespace gradecast
