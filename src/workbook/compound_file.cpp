#include "workbook/compound_file.h"

#include <cstddef>

namespace gradecast {

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
