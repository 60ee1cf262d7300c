#pragma once

#include "workbook/refusal.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace gradecast {

// Little-endian integers of a binary file. The file is untrusted: a read past
// its end refuses it as damaged, so that every read is checked in one place.
inline std::uint64_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t width)
{
    if (at > bytes.size() || width > bytes.size() - at)
        Refuse(kDamagedSentence);
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

inline std::uint16_t LittleEndian16(std::string_view bytes, std::size_t at)
{
    return std::uint16_t(LittleEndian(bytes, at, 2));
}

inline std::uint32_t LittleEndian32(std::string_view bytes, std::size_t at)
{
    return std::uint32_t(LittleEndian(bytes, at, 4));
}

} // namespace gradecast
