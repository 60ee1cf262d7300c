#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gradecast {

// Whether a compound document (the container of .xls, .doc) holds a stream
// named EncryptionInfo: what Excel makes of an .xlsx saved with a password.
// The streams' names are in the directory, entries of 128 bytes filling whole
// sectors, so every entry starts at a multiple of 128 bytes in the file; an
// entry there with that name, its length and the type of a stream is one.
bool HasEncryptionInfo(std::string_view file);

// The bytes of the stream of that name among the top entries of a compound
// document (names compared as the format does, ASCII letters in either case),
// or nothing when there is none. A document whose sector chains or directory
// lead outside the file or round in circles is refused as damaged.
std::optional<std::string> CompoundStream(std::string_view file, std::u16string_view name);

} // namespace gradecast
