#include "settings/profile_store.h"

#include "settings/ansi_codec.h"
#include "settings/ini_text.h"
#include "settings/whole_file.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <system_error>
#include <unistd.h>

namespace gradecast {

namespace {

constexpr std::string_view SettingsFileName = "GRADECAST.INI";
constexpr std::size_t ProfileBufferSize = 255;

std::optional<std::filesystem::path> &settingsFolderOverride()
{
    static std::optional<std::filesystem::path> folder;
    return folder;
}

// A line break in a value would end its line early and make the rest lines
// of their own, keys included; a key or section without a name cannot be read.
std::string invalidEntry(std::string_view section, std::string_view key, std::string_view value)
{
    const auto hasBreak = [](std::string_view text) {
        return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
    };
    if (section.empty() || key.empty())
        return "the section and the key must not be empty";
    if (hasBreak(section) || hasBreak(key) || hasBreak(value))
        return "a section, key or value must not contain a line break";
    return {};
}

} // namespace

std::size_t GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, char *buffer, std::size_t size,
                                     const std::filesystem::path &file)
{
    if (size == 0)
        return 0;
    const WholeFile content = readWholeFile(file);
    std::optional<std::string_view> value;
    if (content.error.empty())
        value = iniValue(content.bytes, section, key);
    if (!value) {
        value = defaultValue;
        while (!value->empty() && value->back() == ' ')
            value->remove_suffix(1);
    }
    const std::size_t length = ansiCutLength(*value, size - 1);
    std::copy_n(value->data(), length, buffer);
    buffer[length] = '\0';
    return length;
}

ProfileWriteResult WritePrivateProfileStringA(std::string_view section, std::string_view key,
                                              std::string_view value,
                                              const std::filesystem::path &file)
{
    if (file.empty())
        return {false, "the folder of the program could not be found"};
    if (std::string problem = invalidEntry(section, key, value); !problem.empty())
        return {false, "cannot write " + file.string() + ": " + problem};
    const WholeFile old = readWholeFile(file);
    if (old.exists && !old.error.empty())
        return {false, old.error};
    return replaceWholeFile(file, iniWithValue(old.bytes, section, key, value));
}

std::optional<std::u16string> StringFormINI(std::u16string_view section,
                                            std::u16string_view key,
                                            std::u16string_view defaultValue,
                                            const std::filesystem::path &file)
{
    const std::optional<std::string> ansiSection = AnsiFromUnicode(section);
    const std::optional<std::string> ansiKey = AnsiFromUnicode(key);
    const std::optional<std::string> ansiDefault = AnsiFromUnicode(defaultValue);
    if (!ansiSection || !ansiKey || !ansiDefault)
        return std::nullopt;
    std::array<char, ProfileBufferSize> buffer;
    buffer.fill(' ');
    GetPrivateProfileStringA(*ansiSection, *ansiKey, *ansiDefault, buffer.data(), buffer.size(),
                             file);
    std::optional<std::u16string> text =
        UnicodeFromAnsi(std::string_view(buffer.data(), buffer.size()));
    if (!text)
        return std::nullopt;
    text->erase(text->find_last_not_of(u' ') + 1);
    text->erase(0, text->find_first_not_of(u' '));
    if (!text->empty())
        text->pop_back();
    return text;
}

ProfileWriteResult WriteProfileText(std::u16string_view section, std::u16string_view key,
                                    std::u16string_view value, const std::filesystem::path &file)
{
    const std::optional<std::string> ansiSection = AnsiFromUnicode(section);
    const std::optional<std::string> ansiKey = AnsiFromUnicode(key);
    const std::optional<std::string> ansiValue = AnsiFromUnicode(value);
    if (!ansiSection || !ansiKey || !ansiValue)
        return {false, "cannot write " + file.string()
                           + ": this system has no Big5 (CP950) converter"};
    return WritePrivateProfileStringA(*ansiSection, *ansiKey, *ansiValue, file);
}

std::filesystem::path SettingsFilePath()
{
    std::filesystem::path folder;
    if (settingsFolderOverride()) {
        folder = *settingsFolderOverride();
    } else {
        std::error_code error;
        folder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
        if (error)
            return {};
    }
    const std::filesystem::path beside = folder / SettingsFileName;
    std::error_code error;
    if (std::filesystem::exists(beside, error) || ::access(folder.c_str(), W_OK | X_OK) == 0)
        return beside;
    // A relative XDG_CONFIG_HOME is to be ignored, as the XDG rules say.
    const char *config = std::getenv("XDG_CONFIG_HOME");
    const char *home = std::getenv("HOME");
    std::filesystem::path base;
    if (config && config[0] == '/')
        base = config;
    else if (home && home[0] == '/')
        base = std::filesystem::path(home) / ".config";
    else
        return beside;
    return base / "gradecast" / SettingsFileName;
}

void OverrideSettingsFolder(std::optional<std::filesystem::path> folder)
{
    settingsFolderOverride() = std::move(folder);
}

} // namespace gradecast
