#include "tools/keys_options.h"

#include "settings/settings_record.h"
#include "text/leading_number.h"
#include "text/utf8.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace gradecast {

const char *const KeysUsage =
    "Usage: gradecast-keys [--settings FILE] [--absent TEXT] [--score100 TEXT]\n"
    "                      [--decimal N] [--tab] [--enter] [--raw] [--check]\n"
    "                      [--sheet NAME] [--column X]... [FILE|-]\n"
    "\n"
    "Prints the keystrokes a fill would type for the scores in FILE (standard input\n"
    "when FILE is absent or -), one keystroke string per line.\n"
    "\n"
    "  --settings FILE  start from the options a window shows with this settings file\n"
    "                   (default: the settings file of the program, if there is one)\n"
    "  --absent TEXT    text typed for an empty entry\n"
    "  --score100 TEXT  text typed for a score of 100; other scores get two digits\n"
    "  --decimal N      decimals kept while --score100 is empty (-32768..32767)\n"
    "  --tab, --enter   keys after each entry; either one decides both boxes\n"
    "  --raw            take the line ends as read (default: LF and CR become CR LF)\n"
    "  --check          warn on standard error about lines of several cells (each cell\n"
    "                   is typed), entries that hold no number (a header cell, a word:\n"
    "                   typed as 0), entries with text after their number (\"8O\": only\n"
    "                   8 is typed), decimals rounded away (87.5 typed as 88) and entries\n"
    "                   beyond the 60 a run types; exit status 3 when there are any\n"
    "  --column X       read FILE as a spreadsheet (.xlsx .xlsm .ods .xls .csv .txt)\n"
    "                   and type column X of the rows under its header, as the window\n"
    "                   puts them into the score box: X is the header's text or the\n"
    "                   column's letters (C, AA); repeated, the columns are taken side\n"
    "                   by side in the sheet's order\n"
    "  --sheet NAME     the sheet --column reads (default: the first)\n"
    "  --help           this text\n";

namespace {

// The options that take no value and set one switch of the request.
const std::pair<std::string_view, bool KeysRequest::*> Flags[] = {
    {"--help", &KeysRequest::help},   {"--raw", &KeysRequest::raw},
    {"--check", &KeysRequest::check}, {"--tab", &KeysRequest::tab},
    {"--enter", &KeysRequest::enter},
};

// --decimal is read as the settings file reads DECIMAL (1.5 keeps 2, as it
// does there); only what holds nothing but a number is taken.
std::optional<std::int16_t> parseDecimal(std::string_view text)
{
    const std::optional<std::u16string> wide = Utf16FromUtf8(text);
    if (!wide)
        return std::nullopt;
    const LeadingNumberResult number = ReadLeadingNumber(*wide);
    if (!number.found || number.length != wide->size())
        return std::nullopt;
    return SettingsInteger(*wide);
}

} // namespace

ParsedKeysArguments ParseKeysArguments(const std::vector<std::string> &arguments)
{
    ParsedKeysArguments parsed;
    KeysRequest &request = parsed.request;
    bool inputGiven = false;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        std::optional<std::string> attached;
        if (!optionsEnded && argument.rfind("--", 0) == 0) {
            if (const auto equals = argument.find('='); equals != std::string::npos) {
                attached = argument.substr(equals + 1);
                argument.resize(equals);
            }
        }
        const auto takeValue = [&]() -> std::optional<std::string> {
            if (attached)
                return attached;
            if (i + 1 < arguments.size())
                return arguments[++i];
            parsed.error = argument + " needs a value";
            return std::nullopt;
        };
        const auto takeText = [&](std::optional<std::u16string> &target) {
            const auto value = takeValue();
            if (!value)
                return false;
            const auto text = Utf16FromUtf8(*value);
            if (!text) {
                parsed.error = "the value of " + argument + " is not valid UTF-8";
                return false;
            }
            target = TrimSpaces(*text);
            return true;
        };
        const auto noValue = [&] {
            if (attached)
                parsed.error = argument + " takes no value";
            return !attached;
        };

        if (optionsEnded || argument == "-" || argument.rfind("--", 0) != 0) {
            if (inputGiven) {
                parsed.error = "more than one score file given: " + argument;
                return parsed;
            }
            request.input = argument;
            inputGiven = true;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (const auto flag = std::find_if(
                       std::begin(Flags), std::end(Flags),
                       [&](const auto &f) { return argument == f.first; });
                   flag != std::end(Flags)) {
            if (!noValue())
                return parsed;
            request.*flag->second = true;
        } else if (argument == "--settings") {
            const auto value = takeValue();
            if (!value)
                return parsed;
            request.settingsFile = *value;
        } else if (argument == "--absent") {
            if (!takeText(request.absentText))
                return parsed;
        } else if (argument == "--score100") {
            if (!takeText(request.score100Text))
                return parsed;
        } else if (argument == "--sheet") {
            if (!takeText(request.sheet))
                return parsed;
        } else if (argument == "--column") {
            std::optional<std::u16string> column;
            if (!takeText(column))
                return parsed;
            request.columns.push_back(*column);
        } else if (argument == "--decimal") {
            const auto value = takeValue();
            if (!value)
                return parsed;
            request.decimalPlaces = parseDecimal(*value);
            if (!request.decimalPlaces) {
                parsed.error = "--decimal takes a number from -32768 to 32767, as DECIMAL "
                               "in the settings file, not \""
                    + *value + "\"";
                return parsed;
            }
        } else {
            parsed.error = "unknown option " + argument;
            return parsed;
        }
    }
    if (request.sheet && request.columns.empty())
        parsed.error = "--sheet needs --column: which of its columns?";
    else if (!request.columns.empty() && request.input == "-")
        parsed.error = "--column reads a spreadsheet FILE, not standard input";
    return parsed;
}

FillOptions RequestFillOptions(const KeysRequest &request, const FillOptions &fromSettings)
{
    FillOptions options = fromSettings;
    if (request.absentText)
        options.AbsentText = *request.absentText;
    if (request.score100Text)
        options.Score100Text = *request.score100Text;
    if (request.decimalPlaces)
        options.DecimalPlaces = *request.decimalPlaces;
    if (request.tab || request.enter) {
        options.TabAfterEntry = request.tab;
        options.EnterAfterEntry = request.enter;
    }
    return options;
}

} // namespace gradecast
