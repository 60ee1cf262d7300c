// Micro-benchmarks of the plain core: the keystroke script of a fill run, the
// number reader, and one read from a large settings file.

#include "entry/keystroke_script.h"
#include "settings/profile_store.h"
#include "text/leading_number.h"

#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace gradecast {
namespace {

const FillOptions Options{u"-1", u"", 1, true, false};

// A column pasted from a spreadsheet: scores ended by CR LF, until the text
// holds at least the given number of characters.
std::u16string scoreColumn(std::size_t characters)
{
    static constexpr std::u16string_view Scores[] = {u"85", u"92.5", u"", u"100", u"7", u"66.75"};
    std::u16string text;
    for (std::size_t i = 0; text.size() < characters; ++i)
        text.append(Scores[i % std::size(Scores)]).append(u"\r\n");
    return text;
}

std::u16string sixtyEntries()
{
    std::u16string text;
    for (int i = 0; i < MaxEntriesPerRun; ++i)
        text.append(i % 2 ? u"85" : u"92.5").append(i + 1 < MaxEntriesPerRun ? u"\r\n" : u"");
    return text;
}

void runScript(benchmark::State &state, const std::u16string &text)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildKeystrokeScript(text, Options));
    state.counters["characters"] = static_cast<double>(text.size());
}

void BM_BuildKeystrokeScript_Column60(benchmark::State &state)
{
    runScript(state, sixtyEntries());
}
BENCHMARK(BM_BuildKeystrokeScript_Column60)->Unit(benchmark::kMicrosecond);

// Ten million characters of scores: the walk stops after entry 60.
void BM_BuildKeystrokeScript_Paste10M(benchmark::State &state)
{
    static const std::u16string text = scoreColumn(10'000'000);
    runScript(state, text);
}
BENCHMARK(BM_BuildKeystrokeScript_Paste10M)->Unit(benchmark::kMicrosecond);

// The worst case: ten million digits without a line end are one entry, whose
// number is read to its end.
void BM_BuildKeystrokeScript_OneLine10M(benchmark::State &state)
{
    static const std::u16string text(10'000'000, u'7');
    runScript(state, text);
}
BENCHMARK(BM_BuildKeystrokeScript_OneLine10M)->Unit(benchmark::kMillisecond);

void BM_LeadingNumber_TypicalEntries(benchmark::State &state)
{
    static constexpr std::u16string_view Entries[] = {
        u"85", u"92.5", u"100", u"7", u"", u" 7 ", u"-3", u"0.25", u"99.5", u"abc", u"85A",
    };
    for (auto _ : state) {
        for (std::u16string_view entry : Entries)
            benchmark::DoNotOptimize(LeadingNumber(entry));
    }
    state.SetItemsProcessed(state.iterations() * std::size(Entries));
}
BENCHMARK(BM_LeadingNumber_TypicalEntries);

// A settings file of about 1 MB: many other sections, then GRADECAST with its
// keys near the end. Removed when the program ends.
class LargeSettingsFile {
public:
    LargeSettingsFile()
        : m_folder(std::filesystem::temp_directory_path()
                   / ("gradecast-bench-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(m_folder);
        std::string content;
        for (int section = 0; content.size() < 1'000'000; ++section) {
            content += "[SECTION" + std::to_string(section) + "]\r\n";
            for (int key = 0; key < 8; ++key)
                content += "KEY" + std::to_string(key) + "=some value of a setting\r\n";
        }
        content += "[GRADECAST]\r\nUSEENTER=0\r\nUSETAB=1\r\nABSENT=-1\r\nSCORE100=\r\n"
                   "URL=https://school.example/score\r\n[LAST]\r\nKEY=1\r\n";
        std::ofstream(file(), std::ios::binary).write(content.data(), content.size());
    }
    ~LargeSettingsFile()
    {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }
    LargeSettingsFile(const LargeSettingsFile &) = delete;
    LargeSettingsFile &operator=(const LargeSettingsFile &) = delete;

    std::filesystem::path file() const { return m_folder / "GRADECAST.INI"; }
    std::uintmax_t size() const { return std::filesystem::file_size(file()); }

private:
    std::filesystem::path m_folder;
};

const LargeSettingsFile &largeSettingsFile()
{
    static const LargeSettingsFile file;
    return file;
}

void BM_GetPrivateProfileStringA_1MB(benchmark::State &state)
{
    const LargeSettingsFile &settings = largeSettingsFile();
    std::array<char, 255> buffer;
    for (auto _ : state) {
        GetPrivateProfileStringA("GRADECAST", "URL", "", buffer.data(), buffer.size(),
                                 settings.file());
        benchmark::DoNotOptimize(buffer);
    }
    state.SetBytesProcessed(state.iterations() * settings.size());
}
BENCHMARK(BM_GetPrivateProfileStringA_1MB)->Unit(benchmark::kMicrosecond);

void BM_StringFormINI_1MB(benchmark::State &state)
{
    const LargeSettingsFile &settings = largeSettingsFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(StringFormINI(u"GRADECAST", u"URL", u"", settings.file()));
    state.SetBytesProcessed(state.iterations() * settings.size());
}
BENCHMARK(BM_StringFormINI_1MB)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace gradecast

BENCHMARK_MAIN();
