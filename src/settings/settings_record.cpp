#include "settings/settings_record.h"

#include "text/leading_number.h"

#include <cmath>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

namespace gradecast {

namespace {

constexpr std::u16string_view UrlKey = u"URL";
constexpr std::u16string_view UseEnterKey = u"USEENTER";
constexpr std::u16string_view UseTabKey = u"USETAB";
constexpr std::u16string_view AbsentKey = u"ABSENT";
constexpr std::u16string_view Score100Key = u"SCORE100";
constexpr std::u16string_view DecimalKey = u"DECIMAL";

double roundHalfToEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction != 0.5)
        return fraction < 0.5 ? below : below + 1;
    return std::fmod(below, 2) == 0 ? below : below + 1;
}

std::u16string integerText(std::int16_t value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

void loadInteger(std::int16_t &field, std::u16string_view key, const std::filesystem::path &file)
{
    const std::optional<std::u16string> text = StringFormINI(SettingsSection, key, u"0", file);
    if (const std::optional<std::int16_t> value = text ? SettingsInteger(*text) : std::nullopt)
        field = *value;
}

} // namespace

std::optional<std::int16_t> SettingsInteger(std::u16string_view text)
{
    const double rounded = roundHalfToEven(LeadingNumber(text));
    if (!(rounded >= -32768 && rounded <= 32767))
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::u16string TrimSpaces(std::u16string_view text)
{
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos)
        return {};
    return std::u16string(text.substr(first, text.find_last_not_of(u' ') - first + 1));
}

void LoadSettings(SettingsRecord &record, const std::filesystem::path &file)
{
    // A value that cannot be read leaves the record's own.
    const auto loadText = [&](std::u16string &field, std::u16string_view key) {
        if (std::optional<std::u16string> text = StringFormINI(SettingsSection, key, u"", file))
            field = std::move(*text);
    };
    loadText(record.SchoolUrl, UrlKey);
    loadInteger(record.UseEnter, UseEnterKey, file);
    loadInteger(record.UseTab, UseTabKey, file);
    loadText(record.AbsentText, AbsentKey);
    loadText(record.Score100Text, Score100Key);
    loadInteger(record.DecimalPlaces, DecimalKey, file);
}

ProfileWriteResult SaveSettings(const SettingsRecord &record, const std::filesystem::path &file)
{
    const std::pair<std::u16string_view, std::u16string> writes[] = {
        {UrlKey, record.SchoolUrl},
        {UseEnterKey, integerText(record.UseEnter)},
        {UseTabKey, integerText(record.UseTab)},
        {AbsentKey, record.AbsentText},
        {Score100Key, record.Score100Text},
    };
    // The user's own settings folder (see SettingsFilePath) is made by the first save.
    const std::filesystem::path folder = file.parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)
        && !std::filesystem::create_directories(folder, error))
        return {false, "cannot create the folder " + folder.string() + ": " + error.message()};
    ProfileWriteResult first;
    for (const auto &[key, value] : writes) {
        ProfileWriteResult result = WriteProfileText(SettingsSection, key, value, file);
        if (first.ok && !result.ok)
            first = std::move(result);
    }
    return first;
}

SeparatorBoxes StartupSeparatorBoxes(const SettingsRecord &record)
{
    const bool tab = record.UseTab > 0;
    return {tab, !tab && record.UseEnter > 0};
}

} // namespace gradecast
