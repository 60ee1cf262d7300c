// gradecast-keys: prints the keystroke strings a fill would type, so scores and
// settings can be checked before a run; the scores are a text file or columns
// of a spreadsheet.

#include "entry/entry_warnings.h"
#include "entry/keystroke_script.h"
#include "entry/run_options.h"
#include "settings/profile_store.h"
#include "settings/settings_record.h"
#include "text/utf8.h"
#include "tools/keys_options.h"
#include "tools/sheet_lines.h"
#include "workbook/open_workbook.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <system_error>

using namespace gradecast;

namespace {

int fail(const std::string &message)
{
    std::cerr << "gradecast-keys: " << message << '\n';
    return 2;
}

// Reads a whole file, or standard input for "-".
bool readAll(const std::string &name, std::string &bytes, std::string &error)
{
    if (name == "-") {
        std::ostringstream buffer;
        buffer << std::cin.rdbuf();
        bytes = buffer.str();
        if (std::cin.bad()) {
            error = "cannot read standard input";
            return false;
        }
        return true;
    }
    std::error_code code;
    if (std::filesystem::is_directory(name, code)) {
        error = "cannot read " + name + ": it is a folder";
        return false;
    }
    std::ifstream file(name, std::ios::binary);
    if (!file) {
        error = "cannot read " + name + ": " + std::strerror(errno);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = "cannot read " + name;
        return false;
    }
    return true;
}

// The scores as the box would hold them: a text file's, or the chosen columns
// of a spreadsheet's rows.
bool readScores(const KeysRequest &request, std::u16string &text, std::string &error)
{
    if (!request.columns.empty()) {
        const WorkbookRead read = OpenWorkbook(request.input);
        const NamedColumnLines lines = read.error.empty()
            ? LinesOfNamedColumns(read.workbook, request.sheet, request.columns)
            : NamedColumnLines{{}, Utf8FromUtf16(read.error)};
        error = request.input + ": " + lines.error;
        text = lines.text;
        return lines.error.empty();
    }
    std::string bytes;
    if (!readAll(request.input, bytes, error))
        return false;
    const auto utf16 = Utf16FromUtf8(bytes);
    if (!utf16) {
        error = (request.input == "-" ? std::string("standard input") : request.input)
            + " is not valid UTF-8";
        return false;
    }
    text = *utf16;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    const ParsedKeysArguments parsed =
        ParseKeysArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty())
        return fail(parsed.error + " (see --help)");
    const KeysRequest &request = parsed.request;
    if (request.help) {
        std::cout << KeysUsage;
        return 0;
    }

    // Without --settings, the file the program itself reads, when there is one.
    std::optional<std::string> settingsFile = request.settingsFile;
    if (const std::filesystem::path own = SettingsFilePath();
        !settingsFile && !own.empty() && std::filesystem::exists(own))
        settingsFile = own.string();
    FillOptions fromSettings;
    if (settingsFile) {
        std::string ignored;
        std::string error;
        if (!readAll(*settingsFile, ignored, error))
            return fail("settings file: " + error);
        SettingsRecord record;
        LoadSettings(record, *settingsFile);
        fromSettings = RunFillOptions(record, StartupSeparatorBoxes(record));
    }
    const FillOptions options = RequestFillOptions(request, fromSettings);

    std::u16string text;
    if (std::string error; !readScores(request, text, error))
        return fail(error);

    const std::u16string scores =
        TrimTrailingLineEnds(request.raw ? text : ScoreBoxLineEnds(text));
    std::string out;
    for (const std::u16string &keys : BuildKeystrokeScript(scores, options)) {
        out += Utf8FromUtf16(keys);
        out += '\n';
    }
    const std::u16string warnings = request.check ? ColumnWarnings(scores, options) : u"";
    std::cerr << Utf8FromUtf16(warnings) << std::flush;
    std::cout << out << std::flush;
    if (!std::cout)
        return fail("cannot write the keystrokes");
    return warnings.empty() ? 0 : 3;
}
