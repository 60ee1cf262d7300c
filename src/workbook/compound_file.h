#pragma once

#include <string_view>

namespace gradecast {

// Whether a compound document (the container of .xls, .doc) holds a stream
// named EncryptionInfo: what Excel makes of an .xlsx saved with a password.
// The streams' names are in the directory, entries of 128 bytes filling whole
// sectors, so every entry starts at a multiple of 128 bytes in the file; an
// entry there with that name, its length and the type of a stream is one.
bool HasEncryptionInfo(std::string_view file);

} // namespace gradecast
