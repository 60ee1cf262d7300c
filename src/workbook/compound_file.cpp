#include "workbook/compound_file.h"

#include "workbook/little_endian.h"
#include "workbook/refusal.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace gradecast {
namespace {

constexpr std::size_t kEntryBytes = 128;
constexpr std::size_t kMiniSectorBytes = 64;
// The header names the first 109 sectors of the allocation table itself.
constexpr std::size_t kHeaderTableSectors = 109;
// Sector numbers above this one end a chain or mark free sectors and the
// tables' own: none holds a stream's bytes.
constexpr std::uint32_t kLastSectorNumber = 0xFFFFFFF9;
// A directory entry without a sibling or child.
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;
constexpr std::uint64_t kWholeChain = std::numeric_limits<std::uint64_t>::max();

// Sectors of one size, numbered from the start of `bytes`, and the table that
// names each one's successor in its chain: the file's sectors after the
// header, or the mini sectors of the mini stream.
struct Sectors {
    std::string_view bytes;
    std::size_t size = 0;
    std::vector<std::uint32_t> next;
};

std::vector<std::uint32_t> sectorNumbers(std::string_view bytes)
{
    std::vector<std::uint32_t> numbers(bytes.size() / 4);
    for (std::size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = LittleEndian32(bytes, 4 * i);
    return numbers;
}

// A chain's bytes from its first sector, `length` of them (or all it has).
std::string chainBytes(const Sectors &sectors, std::uint32_t first, std::uint64_t length)
{
    if (length != kWholeChain && length > sectors.bytes.size())
        Refuse(kDamagedSentence);
    // A chain visits a sector once: more steps than there are sectors go round
    // in a circle.
    const std::size_t sectorCount = (sectors.bytes.size() + sectors.size - 1) / sectors.size;
    std::string bytes;
    std::uint32_t sector = first;
    for (std::size_t steps = 0; bytes.size() < length && sector <= kLastSectorNumber; ++steps) {
        if (steps >= sectorCount || sector >= sectors.next.size()
            || std::size_t(sector) >= sectorCount)
            Refuse(kDamagedSentence);
        bytes.append(sectors.bytes.substr(std::size_t(sector) * sectors.size, sectors.size));
        sector = sectors.next[sector];
    }
    if (length != kWholeChain) {
        if (bytes.size() < length)
            Refuse(kDamagedSentence);
        bytes.resize(std::size_t(length));
    }
    return bytes;
}

// The allocation table: its sectors are listed in the header, then in a chain
// of sectors each ending with the number of the next.
std::vector<std::uint32_t> allocationTable(std::string_view file, const Sectors &sectors)
{
    const std::size_t sectorCount = sectors.bytes.size() / sectors.size;
    const std::size_t tableSectors = LittleEndian32(file, 0x2C);
    if (tableSectors > sectorCount)
        Refuse(kDamagedSentence);
    std::vector<std::uint32_t> numbers;
    for (std::size_t i = 0; i < std::min(tableSectors, kHeaderTableSectors); ++i)
        numbers.push_back(LittleEndian32(file, 0x4C + 4 * i));
    const std::size_t perSector = sectors.size / 4 - 1;
    std::uint32_t more = LittleEndian32(file, 0x44);
    for (std::size_t steps = 0; numbers.size() < tableSectors; ++steps) {
        if (more > kLastSectorNumber || more >= sectorCount || steps >= sectorCount)
            Refuse(kDamagedSentence);
        const std::string_view list = sectors.bytes.substr(std::size_t(more) * sectors.size, sectors.size);
        for (std::size_t i = 0; i < perSector && numbers.size() < tableSectors; ++i)
            numbers.push_back(LittleEndian32(list, 4 * i));
        more = LittleEndian32(list, 4 * perSector);
    }
    std::string table;
    for (const std::uint32_t sector : numbers) {
        if (sector >= sectorCount)
            Refuse(kDamagedSentence);
        table.append(sectors.bytes.substr(std::size_t(sector) * sectors.size, sectors.size));
    }
    return sectorNumbers(table);
}

bool sameName(std::string_view entry, std::u16string_view name)
{
    // The name's length in bytes counts its terminating zero.
    const std::size_t length = std::min<std::size_t>(LittleEndian16(entry, 64), 64) / 2;
    if (length != name.size() + 1)
        return false;
    const auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (fold(char16_t(LittleEndian16(entry, 2 * i))) != fold(name[i]))
            return false;
    }
    return true;
}

// The directory entry of the stream named so among the root's children (a
// tree of siblings), or an empty view.
std::string_view findStream(std::string_view directory, std::u16string_view name)
{
    constexpr std::uint8_t kStream = 2;
    const std::size_t entries = directory.size() / kEntryBytes;
    std::vector<std::uint32_t> pending{LittleEndian32(directory, 0x4C)};
    for (std::size_t visits = 0; !pending.empty();) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id == kNoEntry)
            continue;
        if (id >= entries || ++visits > entries)
            Refuse(kDamagedSentence);
        const std::string_view entry = directory.substr(id * kEntryBytes, kEntryBytes);
        if (std::uint8_t(entry[0x42]) == kStream && sameName(entry, name))
            return entry;
        pending.push_back(LittleEndian32(entry, 0x44));
        pending.push_back(LittleEndian32(entry, 0x48));
    }
    return {};
}

} // namespace

std::optional<std::string> CompoundStream(std::string_view file, std::u16string_view name)
{
    // Sectors of 512 bytes (version 3) or 4096 (version 4); the header takes
    // the first sector.
    const std::uint16_t shift = LittleEndian16(file, 0x1E);
    if (shift != 9 && shift != 12)
        Refuse(kDamagedSentence);
    Sectors sectors;
    sectors.size = std::size_t(1) << shift;
    if (file.size() <= sectors.size)
        Refuse(kDamagedSentence);
    sectors.bytes = file.substr(sectors.size);
    sectors.next = allocationTable(file, sectors);
    const std::string directory = chainBytes(sectors, LittleEndian32(file, 0x30), kWholeChain);
    const std::string_view stream = findStream(directory, name);
    if (stream.empty())
        return std::nullopt;
    const std::uint32_t first = LittleEndian32(stream, 0x74);
    // The upper half of the size is not used by version 3 files.
    const std::uint32_t size = LittleEndian32(stream, 0x78);
    if (size >= LittleEndian32(file, 0x38)) // the mini stream's cutoff
        return chainBytes(sectors, first, size);
    // Small streams are kept in mini sectors inside the mini stream, the
    // root entry's own stream, chained by a table of their own.
    const std::string_view root = std::string_view(directory).substr(0, kEntryBytes);
    const std::string miniStream =
        chainBytes(sectors, LittleEndian32(root, 0x74), LittleEndian32(root, 0x78));
    const Sectors mini{miniStream, kMiniSectorBytes,
                       sectorNumbers(chainBytes(sectors, LittleEndian32(file, 0x3C), kWholeChain))};
    return chainBytes(mini, first, size);
}

bool HasEncryptionInfo(std::string_view file)
{
    // The name in UTF-16LE with its terminating zero, as a directory entry
    // holds it: the first 64 bytes, then its length in bytes (2 bytes) and
    // the entry's type (1 byte: 2 for a stream).
    static constexpr std::string_view kName{
        "E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0\0\0", 30};
    static constexpr std::string_view kLengthAndType{"\x1e\0\x02", 3};
    constexpr std::size_t kEntry = 128;
    constexpr std::size_t kLengthOffset = 64;
    // The header takes the first 512 bytes.
    for (std::size_t entry = 512; entry + kEntry <= file.size(); entry += kEntry) {
        if (file.substr(entry, kName.size()) == kName
            && file.substr(entry + kLengthOffset, kLengthAndType.size()) == kLengthAndType)
            return true;
    }
    return false;
}

} // namespace gradecast
