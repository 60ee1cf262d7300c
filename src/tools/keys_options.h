#pragma once

#include "entry/keystroke_script.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// What the command line of gradecast-keys asks for.
struct KeysRequest {
    bool help = false;
    bool raw = false;
    bool check = false;
    std::optional<std::string> settingsFile;
    std::optional<std::u16string> absentText;
    std::optional<std::u16string> score100Text;
    std::optional<std::int16_t> decimalPlaces;
    bool tab = false;
    bool enter = false;
    // With columns, the input is a spreadsheet file and these are taken from it.
    std::optional<std::u16string> sheet;
    std::vector<std::u16string> columns;
    std::string input = "-";
};

struct ParsedKeysArguments {
    KeysRequest request;
    std::string error; // empty when the arguments are fine
};

ParsedKeysArguments ParseKeysArguments(const std::vector<std::string> &arguments);

// The fill options of the request over those a window would start with from
// the settings (or the defaults when there is no settings file).
FillOptions RequestFillOptions(const KeysRequest &request, const FillOptions &fromSettings);


extern const char *const KeysUsage;

} // namespace gradecast
