#include "entry/keystroke_script.h"

#include "entry/number_text.h"
#include "text/leading_number.h"
#include "text/utf16.h"

#include <cmath>

namespace gradecast {

namespace {

constexpr char16_t CarriageReturn = u'\r';
constexpr char16_t LineFeed = u'\n';
constexpr char16_t Tab = u'\t';

// Each character in its own brace pair, so that none is taken as a key name or
// modifier; a surrogate pair is one character and stays whole.
void appendCharacters(std::u16string_view text, KeystrokeScript &script)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SurrogatePairAt(text, i) ? 2 : 1;
        std::u16string keys = u"{";
        keys.append(text.substr(i, length));
        keys.push_back(u'}');
        script.push_back(std::move(keys));
        i += length;
    }
}

// The score rounded to DecimalPlaces decimals, or the whole-number value when
// that rounding would leave the range of a double.
double roundedToDecimals(double x, double whole, int decimalPlaces)
{
    const double p10 = std::pow(10.0, decimalPlaces);
    const double scaled = p10 * x;
    if (!std::isfinite(p10) || !std::isfinite(scaled))
        return whole;
    return std::floor(scaled + 0.5) / p10;
}

// Hands each entry of the text to take, in order, until take returns false.
template <typename Take>
void walkEntries(std::u16string_view text, Take &&take)
{
    if (text.empty())
        return;
    std::size_t start = 0;
    for (std::size_t p = 0; p < text.size(); ++p) {
        const char16_t c = text[p];
        if (c != CarriageReturn && c != Tab)
            continue;
        if (!take(text.substr(start, p - start)))
            return;
        // Only the LF of a CR LF pair is skipped: a lone CR must not eat the
        // first digit of the next score.
        if (c == CarriageReturn && p + 1 < text.size() && text[p + 1] == LineFeed)
            ++p;
        start = p + 1;
    }
    take(text.substr(start));
}

} // namespace

std::u16string TrimTrailingLineEnds(std::u16string_view text)
{
    while (text.size() >= 2 && text[text.size() - 2] == CarriageReturn
           && text.back() == LineFeed)
        text.remove_suffix(2);
    return std::u16string(text);
}

std::vector<std::u16string_view> ScriptEntries(std::u16string_view text)
{
    return FirstEntries(text, MaxEntriesPerRun);
}

std::vector<std::u16string_view> FirstEntries(std::u16string_view text, std::size_t count)
{
    std::vector<std::u16string_view> entries;
    if (count == 0)
        return entries;
    walkEntries(text, [&](std::u16string_view entry) {
        entries.push_back(entry);
        return entries.size() < count;
    });
    return entries;
}

std::size_t EntryCount(std::u16string_view text)
{
    std::size_t count = 0;
    walkEntries(text, [&](std::u16string_view) {
        ++count;
        return true;
    });
    return count;
}

KeystrokeScript BuildKeystrokeScript(std::u16string_view text, const FillOptions &options)
{
    KeystrokeScript script;
    for (std::u16string_view entry : ScriptEntries(text)) {
        const KeystrokeScript keys = EntryKeystrokes(EntryTypedText(entry, options), options);
        script.insert(script.end(), keys.begin(), keys.end());
    }
    return script;
}

KeystrokeScript EntryKeystrokes(std::u16string_view typed, const FillOptions &options)
{
    KeystrokeScript keys;
    appendCharacters(typed, keys);
    if (options.TabAfterEntry)
        keys.emplace_back(TabKeystroke);
    if (options.EnterAfterEntry)
        keys.emplace_back(EnterKeystroke);
    return keys;
}

int SeparatorCount(const FillOptions &options)
{
    return (options.TabAfterEntry ? 1 : 0) + (options.EnterAfterEntry ? 1 : 0);
}

std::u16string EntryTypedText(std::u16string_view entry, const FillOptions &options)
{
    if (entry.empty())
        return options.AbsentText;

    const double x = LeadingNumber(entry);
    const double v = std::floor(x + 0.5);
    if (!options.Score100Text.empty())
        return v < 100 ? TwoDigitText(v) : options.Score100Text;
    if (options.KeepDecimals)
        return SignedNumberText(x);
    if (options.DecimalPlaces >= 1)
        return SignedNumberText(roundedToDecimals(x, v, options.DecimalPlaces));
    return SignedNumberText(v);
}

std::u16string ScoreBoxLineEnds(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            out += u"\r\n";
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

} // namespace gradecast
