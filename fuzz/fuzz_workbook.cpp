// Writes arbitrary bytes to a file and opens it as a workbook: whatever the
// bytes, the file is read or refused with a sentence, never both, and a read
// workbook has cells and sheets without blank ends. The seeds are archives
// whose entries are stored, not deflated, so that mutations reach the XML.

#include "workbook/open_workbook.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace gradecast {
namespace {

void check(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "workbook: %s\n", what);
    std::abort();
}

// A file of this process's own, removed at exit.
class ScratchFile {
public:
    ScratchFile()
        : m_path(std::filesystem::temp_directory_path()
                 / ("gradecast-fuzz-workbook-" + std::to_string(getpid())))
    {
    }
    ~ScratchFile()
    {
        std::error_code error;
        std::filesystem::remove(m_path, error);
    }
    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace
} // namespace gradecast

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace gradecast;
    static const ScratchFile file;
    std::ofstream(file.path(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char *>(data), std::streamsize(size));
    const WorkbookRead read = OpenWorkbook(file.path());
    if (!read.error.empty()) {
        check(read.workbook.sheets.empty(), "a refused file gave sheets");
        return 0;
    }
    bool anyCells = false;
    for (const Sheet &sheet : read.workbook.sheets) {
        anyCells = anyCells || !sheet.rows.empty();
        check(sheet.rows.empty() || !sheet.rows.back().empty(), "a blank row at a sheet's end");
        for (const auto &row : sheet.rows)
            check(row.empty() || !row.back().empty(), "a blank cell at a row's end");
    }
    check(anyCells, "a workbook without cells was not refused");
    return 0;
}
