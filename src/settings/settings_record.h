#pragma once

#include "settings/profile_store.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace gradecast {

inline constexpr std::u16string_view SettingsSection = u"GRADECAST";

// The six settings each window keeps.
struct SettingsRecord {
    std::u16string SchoolUrl;
    std::int16_t UseEnter = 0;
    std::int16_t UseTab = 0;
    std::u16string AbsentText;
    std::u16string Score100Text;
    std::int16_t DecimalPlaces = 0;
};

// The number rule of the integer settings: the leading number, rounded half to
// even; nothing when the result does not fit -32768..32767.
std::optional<std::int16_t> SettingsInteger(std::u16string_view text);

// Removes the space character (U+0020 only) at both ends.
std::u16string TrimSpaces(std::u16string_view text);

// The six reads in file order; a value that fails the number rule leaves its field.
void LoadSettings(SettingsRecord &record, const std::filesystem::path &file);

// The five writes, URL, USEENTER, USETAB, ABSENT, SCORE100, each made even when
// an earlier one failed; reports the first failure. Creates the file's folder
// when it is missing.
ProfileWriteResult SaveSettings(const SettingsRecord &record, const std::filesystem::path &file);

// The separator boxes a window shows after start-up: the Tab box wins when
// both flags are set.
struct SeparatorBoxes {
    bool tab = false;
    bool enter = false;
};
SeparatorBoxes StartupSeparatorBoxes(const SettingsRecord &record);

} // namespace gradecast
