#pragma once

#include "settings/whole_file.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace gradecast {

// Windows private-profile (INI) files, read and written with the rules of
// GetPrivateProfileStringA and WritePrivateProfileStringA. Names and values
// here are bytes in the file's code page.

// Copies the value (or the default) into buffer, cut to size - 1 bytes and
// followed by a zero byte; returns the number of bytes copied before the zero.
std::size_t GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, char *buffer,
                                     std::size_t size, const std::filesystem::path &file);

// Sets key=value in section, creating the file and the section as needed.
// The file is replaced atomically: on failure the old file is left intact.
ProfileWriteResult WritePrivateProfileStringA(std::string_view section, std::string_view key,
                                              std::string_view value,
                                              const std::filesystem::path &file);

// One value of the settings file as the window reads it: through a buffer of
// 255 bytes, spaces trimmed at both ends of the buffer. Nothing when the
// file's code page cannot be converted.
std::optional<std::u16string> StringFormINI(std::u16string_view section, std::u16string_view key,
                             std::u16string_view defaultValue, const std::filesystem::path &file);

// Writes Unicode text through the file's code page; a code page that cannot
// be converted is a failed write, and the file stays as it was.
ProfileWriteResult WriteProfileText(std::u16string_view section, std::u16string_view key,
                                    std::u16string_view value, const std::filesystem::path &file);

// The settings file, worked out on every call: "GRADECAST.INI" beside the
// program when that file is there or the program's folder can be written (a
// copy in a folder of its own, or a file the Windows program left there);
// otherwise the user's own, $XDG_CONFIG_HOME/gradecast/GRADECAST.INI
// (~/.config/gradecast), whose folder the first save creates.
std::filesystem::path SettingsFilePath();
// Tests stand a folder of their own in for the program's folder.
void OverrideSettingsFolder(std::optional<std::filesystem::path> folder);

} // namespace gradecast
