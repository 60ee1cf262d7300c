#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace gradecast {

// How a write of the settings file went.
struct ProfileWriteResult {
    bool ok = true;
    std::string error; // what went wrong, in UTF-8, for the user; empty when ok
};

struct WholeFile {
    bool exists = false; // something stands at the path
    std::string bytes;
    std::string error; // why what stands there could not be read; empty when read
};

// Reads a regular file in one go.
WholeFile readWholeFile(const std::filesystem::path &file);

// Replaces the file's content without ever leaving a half-written file: the
// bytes go to a temporary file in the same folder, which is flushed to disk
// and renamed over the old one, taking over its permissions. A read-only file
// is not replaced. On failure the old file stays and no temporary file is left;
// those that saves ended by a crash left are removed.
ProfileWriteResult replaceWholeFile(const std::filesystem::path &file, std::string_view bytes);

} // namespace gradecast
