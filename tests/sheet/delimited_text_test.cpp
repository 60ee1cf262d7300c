#include "sheet/delimited_text.h"

#include "settings/ansi_codec.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace gradecast {

namespace {

using namespace std::literals;
using Rows = std::vector<std::vector<std::u16string>>;

std::string fileBytes(const std::string &name)
{
    std::ifstream in(SHEET_FILES_DIR "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Rows cells(std::string_view bytes)
{
    const WorkbookRead read = ReadDelimitedText(bytes, u"成績");
    EXPECT_EQ(read.error, u"");
    return read.workbook.sheets.empty() ? Rows{} : read.workbook.sheets[0].rows;
}

} // namespace

TEST(ReadDelimitedText, ReadsWhatSpreadsheetProgramsWrite)
{
    // All of one sheet: big5.csv by LibreOffice Calc, CSV in code page 950
    // (44,34,63); unicode.txt by Calc, Unicode text (9,34,65535: UTF-16 LE,
    // Tab); semicolon.csv by Calc (59,34,76); utf8_bom.csv by Python's csv
    // writer in utf-8-sig, CR LF, as Excel's "CSV UTF-8".
    const Rows scores{{u"一年三班 數學成績"}, {}, {u"座號", u"姓名", u"第一次段考", u"第二次段考"},
                      {u"1", u"王小明", u"87.5", u"90"}, {u"2", u"李大華", u"", u"85"},
                      {u"3", u"陳美玲", u"92"}, {u"4", u"林志豪", u"60"}};
    for (const char *name : {"big5.csv", "unicode.txt", "semicolon.csv", "utf8_bom.csv"})
        EXPECT_EQ(cells(fileBytes(name)), scores) << name;
    // quoted.csv: Calc, CSV of cells holding a comma, quotes and a line end.
    EXPECT_EQ(cells(fileBytes("quoted.csv")),
              (Rows{{u"座號", u"姓名", u"評語"}, {u"1", u"王, 小明", u"說\"很好\""},
                    {u"2", u"李大華", u"第一行\n第二行"}}));
}

TEST(ReadDelimitedText, SeparatorsQuotesAndLineEnds)
{
    const std::pair<std::string_view, Rows> rows[] = {
        {"a\tb,c\r\n1\t2,3\r\n", {{u"a", u"b,c"}, {u"1", u"2,3"}}}, // a tie goes to Tab
        {"Title\n\nx;y;z\n1;2,5;3\n", {{u"Title"}, {}, {u"x", u"y", u"z"}, {u"1", u"2,5", u"3"}}},
        {"a,\"b\r\nc\"\rd,e", {{u"a", u"b\r\nc"}, {u"d", u"e"}}},
        {"\"x\"\"y\"z,\"open\n", {{u"x\"yz", u"open\n"}}},
        {"a,b,,\n,\"\",\n\n", {{u"a", u"b"}}}, {"a\0,\0b\0\n\0"sv, {{u"a", u"b"}}},
        {"\xFE\xFF\x4E\x00\0\t\0b"sv, {{u"一", u"b"}}},
    };
    for (const auto &[bytes, expected] : rows)
        EXPECT_EQ(cells(bytes), expected) << bytes;
}

TEST(ReadDelimitedText, RefusesWhatIsNoTextOfCells)
{
    const std::pair<std::string_view, std::u16string_view> rows[] = {
        {"", u"這個檔案沒有任何儲存格。"}, {"\r\n,,\r\n\r\n", u"這個檔案沒有任何儲存格。"},
        {"PK\x03\x04\x14\0\0\0\x08\0"sv, u"這不是試算表或文字表格檔。"},
        {"\x01\x02\x03\x04 abc\x05\x06", u"這不是試算表或文字表格檔。"},
        {"\xEF\xBB\xBF\xC0\x80", u"這個檔案標明是 UTF-8 文字，內容卻有損壞。"}};
    for (const auto &[bytes, error] : rows) {
        const WorkbookRead read = ReadDelimitedText(bytes, u"s");
        EXPECT_EQ(read.error, error) << bytes;
        EXPECT_TRUE(read.workbook.sheets.empty());
    }
    OverrideAnsiCodePage("no such code page");
    EXPECT_NE(ReadDelimitedText(fileBytes("big5.csv"), u"s").error, u"");
    OverrideAnsiCodePage("");
}

} // namespace gradecast
