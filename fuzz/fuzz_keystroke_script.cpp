// Feeds arbitrary score text and options to the keystroke script and checks
// the script against a plain model of how a run splits and types the text.
//
// Input layout, chosen so that seeds stay readable: byte 0 holds the flags
// (bit 0 Tab, bit 1 Enter), bytes 1 and 2 DecimalPlaces (little-endian),
// bytes 3 and 4 the lengths of AbsentText and Score100Text in characters
// (modulo 8); then those characters, then the score text. A byte below 0x80 is
// that ASCII character; a byte from 0x80 up takes the next two bytes as one
// UTF-16 code unit (little-endian), so lone surrogates can appear anywhere.

#include "entry/keystroke_script.h"
#include "text/leading_number.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace gradecast {
namespace {

class InputReader {
public:
    InputReader(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    bool atEnd() const { return m_pos >= m_size; }

    char16_t unit()
    {
        const std::uint8_t first = byte();
        if (first < 0x80)
            return first;
        const std::uint8_t low = byte();
        return static_cast<char16_t>(low | byte() << 8);
    }

    std::u16string text(std::size_t length)
    {
        std::u16string result;
        while (result.size() < length && !atEnd())
            result.push_back(unit());
        return result;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

void check(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "keystroke script: %s\n", what);
    std::abort();
}

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// What a run should type: entries end at CR (with an LF right after it) or
// TAB, the text after the last separator is the final entry, and the run
// stops after the 60th entry. An empty text has no entries.
std::vector<std::u16string> modelEntries(std::u16string_view text)
{
    std::vector<std::u16string> entries;
    if (text.empty())
        return entries;
    std::u16string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\t') {
            current += text[i];
            continue;
        }
        entries.push_back(current);
        current.clear();
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        if (entries.size() == 60)
            return entries;
    }
    entries.push_back(current);
    return entries;
}

bool isSeparator(const std::u16string &keys) { return keys == u"{TAB}" || keys == u"{Enter}"; }

// "{" + one code unit + "}", or "{" + a surrogate pair + "}".
bool isCharacterKey(const std::u16string &keys)
{
    if (keys.size() < 3 || keys.front() != u'{' || keys.back() != u'}')
        return false;
    return keys.size() == 3 || (keys.size() == 4 && isHigh(keys[1]) && isLow(keys[2]));
}

void checkTrim(std::u16string_view text)
{
    const std::u16string trimmed = TrimTrailingLineEnds(text);
    check(text.substr(0, trimmed.size()) == trimmed, "trimmed text is not a prefix");
    const std::u16string_view removed = text.substr(trimmed.size());
    check(removed.size() % 2 == 0, "trim removed half a line end");
    for (std::size_t i = 0; i < removed.size(); i += 2)
        check(removed.substr(i, 2) == u"\r\n", "trim removed something other than CR LF");
    check(trimmed.size() < 2 || trimmed.substr(trimmed.size() - 2) != u"\r\n",
          "trim left a CR LF at the end");
}

// A number written afresh: sign place, digits, point and exponent only.
void checkNumberText(const std::u16string &typed, bool signPlace)
{
    check(!typed.empty(), "empty number text");
    check(!signPlace || typed[0] == u' ' || typed[0] == u'-', "number without its sign place");
    for (char16_t c : typed)
        check(std::u16string_view(u" -+.0123456789E").find(c) != std::u16string_view::npos,
              "number text holds a character no number has (inf or nan?)");
}

void checkScript(std::u16string_view text, const FillOptions &options)
{
    const std::vector<std::u16string> entries = modelEntries(text);
    const std::vector<std::u16string_view> split = ScriptEntries(text);
    check(split.size() == entries.size(), "entry count differs from the model");
    for (std::size_t i = 0; i < split.size(); ++i)
        check(split[i] == entries[i], "entry differs from the model");

    const KeystrokeScript script = BuildKeystrokeScript(text, options);
    for (const std::u16string &keys : script)
        check(isSeparator(keys) || isCharacterKey(keys), "a string of no allowed form");

    const bool separated = options.TabAfterEntry || options.EnterAfterEntry;
    std::size_t k = 0;
    for (const std::u16string &entry : entries) {
        const std::u16string expected = EntryTypedText(entry, options);
        std::u16string typed;
        for (bool previousHigh = false; k < script.size() && !isSeparator(script[k])
                                        && (separated || typed.size() < expected.size());
             ++k) {
            const std::u16string_view character = std::u16string_view(script[k]).substr(1);
            check(!(previousHigh && character.size() == 2 && isLow(character[0])),
                  "a surrogate pair split over two strings");
            previousHigh = character.size() == 2 && isHigh(character[0]);
            typed += character.substr(0, character.size() - 1);
        }
        check(typed == expected, "typed characters differ from EntryTypedText");
        if (options.TabAfterEntry)
            check(k < script.size() && script[k++] == u"{TAB}", "entry not followed by {TAB}");
        if (options.EnterAfterEntry)
            check(k < script.size() && script[k++] == u"{Enter}", "entry not followed by {Enter}");

        if (entry.empty())
            continue;
        check(std::isfinite(LeadingNumber(entry)), "LeadingNumber is not finite");
        if (options.Score100Text.empty())
            checkNumberText(typed, true);
        else if (typed != options.Score100Text)
            checkNumberText(typed, false);
    }
    check(k == script.size(), "strings left over after the last entry");
}

} // namespace
} // namespace gradecast

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace gradecast;
    InputReader input(data, size);
    FillOptions options;
    const std::uint8_t flags = input.byte();
    options.TabAfterEntry = flags & 1;
    options.EnterAfterEntry = flags & 2;
    const std::uint8_t low = input.byte();
    options.DecimalPlaces = static_cast<std::int16_t>(low | input.byte() << 8);
    const std::size_t absentLength = input.byte() % 8;
    const std::size_t score100Length = input.byte() % 8;
    options.AbsentText = input.text(absentLength);
    options.Score100Text = input.text(score100Length);
    const std::u16string text = input.text(size);

    checkTrim(text);
    checkScript(text, options);
    checkScript(TrimTrailingLineEnds(text), options);
    return 0;
}
