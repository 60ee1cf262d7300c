// The fixtures in files/, and how each was made:
// scores-openpyxl.xlsx  openpyxl 3.0.9: inline strings, totals as formulas without values, A1:E1 merged
// scores-calc.ods       LibreOffice 7.4 (soffice --convert-to ods) from scores-openpyxl.xlsx; its two
//                       identical 旁聽生 rows joined by hand into one with number-rows-repeated="2"
//                       (LibreOffice writes so after a fill down), the thumbnail left out
// scores-calc.xlsx/.xls LibreOffice 7.4 (soffice --convert-to) from scores-calc.ods
// scores-gnumeric.*     ssconvert (Gnumeric 1.12.55) from scores-openpyxl.xlsx
// rich-text.xlsx        scores-calc.xlsx, the title's shared string rewritten (python zipfile) as
//                       two runs and a phonetic guide
// cell-types.xlsx       written by hand (python zipfile): booleans, an error, a formula string, a
//                       date, numbers, rows without references, absolute relationship targets
// formula-types-*.xls   from an openpyxl workbook of formulas without values (a number, texts, one
//                       of 4,200 characters past a record's size, booleans, errors, an empty text):
//                       -calc LibreOffice 7.4 (soffice --convert-to xls), -gnumeric ssconvert,
//                       -gnumeric95 ssconvert -T Gnumeric_Excel:excel_biff7 (code page 1252)
// encrypted.xls/.ods    LibreOffice 7.4 through UNO, stored with a password
// empty.xlsx            openpyxl: a new workbook saved
// document.docx         python zipfile: a package whose main part is a text document
// binary.xlsb           python zipfile: a package whose main part is binary (workbook.bin)
// declared-huge.xlsx    scores-calc.xlsx, the sheet's size in the zip headers set to 0xFFFFFFF0
// lying-size.xlsx       python zipfile: a sheet of 65 MiB of blanks, the headers saying 2000 bytes
// many-strings.xlsx     python zipfile: scores-calc.xlsx with 1,000,001 empty shared strings
// repeated-bomb.ods     python zipfile: scores-calc.ods, its second table a row of three values
//                       repeated a million times
// by-hand.ods/.xlsx     python zipfile: XML written by hand, prefixes of its own, entities, CDATA,
//                       comments, both quotes; mismatched-tags.ods the .ods with an end tag wrong

#include "support/temp_folder.h"
#include "workbook/file_bytes.h"
#include "workbook/open_workbook.h"
#include "workbook/refusal.h"
#include "workbook/sheet_builder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace gradecast {
namespace {

using Column = std::vector<std::u16string>;

const std::filesystem::path kFiles = WORKBOOK_FILES_DIR;

// The cells of a column from the row below the headers to the sheet's end.
Column columnBelowHeader(const Sheet &sheet, std::size_t column)
{
    Column cells;
    for (std::size_t row = 2; row < sheet.rows.size(); ++row)
        cells.push_back(column < sheet.rows[row].size() ? sheet.rows[row][column] : u"");
    return cells;
}

TEST(OpenWorkbook, ReadsEachProgramsScoreSheet)
{
    const Column firstExam{u"87.5", u"", u"60", u"70", u"70", u""};
    const Column totals{u"177.5", u"75", u"60.1", u"", u"", u"88"};
    // openpyxl stores no values of formulas.
    const Column noTotals(6);
    const struct {
        const char *file;
        Column totals;
    } rows[] = {
        {"scores-openpyxl.xlsx", noTotals}, {"scores-calc.xlsx", totals},
        {"scores-calc.ods", totals},        {"scores-calc.xls", totals},
        {"scores-gnumeric.xlsx", totals},   {"scores-gnumeric.xls", totals},
        {"rich-text.xlsx", totals},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file);
        const WorkbookRead read = OpenWorkbook(kFiles / row.file);
        ASSERT_EQ(read.error, u"");
        ASSERT_EQ(read.workbook.sheets.size(), 2u);
        const Sheet &scores = read.workbook.sheets[0];
        EXPECT_EQ(scores.name, u"成績");
        EXPECT_EQ(read.workbook.sheets[1].name, u"名單");
        EXPECT_EQ(scores.rows[0], Column{u"三年二班 數學"});
        EXPECT_EQ(scores.rows[1], (Column{u"座號", u"姓名", u"第一次段考", u"第二次段考", u"總分"}));
        EXPECT_EQ(columnBelowHeader(scores, 2), firstExam);
        EXPECT_EQ(columnBelowHeader(scores, 1),
                  (Column{u"王小明", u"李大華", u"陳美麗", u"旁聽生", u"旁聽生", u"林志明"}));
        EXPECT_EQ(columnBelowHeader(scores, 4), row.totals);
    }
}

TEST(OpenWorkbook, KeepsCellsAsAPasteGivesThem)
{
    const WorkbookRead read = OpenWorkbook(kFiles / "cell-types.xlsx");
    ASSERT_EQ(read.error, u"");
    ASSERT_EQ(read.workbook.sheets.size(), 1u);
    const Sheet &sheet = read.workbook.sheets[0];
    EXPECT_EQ(sheet.name, u"Types");
    const std::vector<Column> expected{
        {u"TRUE", u"FALSE", u"#DIV/0!", u"ab"},
        {u"0.1", u"45432", u"0.001", u"2024-05-20"},
        {},
        {},
        {u"", u"", u"五"},
    };
    EXPECT_EQ(sheet.rows, expected);
}

TEST(OpenWorkbook, GivesXlsFormulasTheirLastResults)
{
    const Column first{u"0.1", u"ab", u"TRUE", u"#DIV/0!", u"#N/A", u"", u"FALSE"};
    // LibreOffice starts each record the long text goes on in with a byte of
    // flags, Gnumeric splits its bytes without; Excel 95's code page has no 五.
    const struct {
        const char *file;
        char16_t longText;
    } rows[] = {
        {"formula-types-calc.xls", u'五'},
        {"formula-types-gnumeric.xls", u'五'},
        {"formula-types-gnumeric95.xls", u'?'},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file);
        const WorkbookRead read = OpenWorkbook(kFiles / row.file);
        ASSERT_EQ(read.error, u"");
        EXPECT_EQ(read.workbook.sheets.at(0).rows,
                  (std::vector<Column>{first, {std::u16string(4200, row.longText)}}));
    }
}

TEST(OpenWorkbook, ReadsWhateverWellFormedXmlAProducerWrites)
{
    // The .ods binds table: to another namespace: that table is no sheet.
    const struct {
        const char *file;
        std::u16string error;
        std::u16string sheet;
        std::vector<Column> rows;
    } rows[] = {
        {"by-hand.ods", u"", u"A & B", {{u"Tom & Jerry 五五", u"87.5", u"<b>   xy z two"}}},
        {"by-hand.xlsx", u"", u"S", {{u"one & two", u"", u"a < b"}, {}, {u"😀\"", u"1.5"}}},
        {"mismatched-tags.ods", kDamagedSentence, u"", {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file);
        const WorkbookRead read = OpenWorkbook(kFiles / row.file);
        EXPECT_EQ(read.error, row.error);
        ASSERT_EQ(read.workbook.sheets.size(), row.error.empty() ? 1u : 0u);
        if (row.error.empty()) {
            EXPECT_EQ(read.workbook.sheets[0].name, row.sheet);
            EXPECT_EQ(read.workbook.sheets[0].rows, row.rows);
        }
    }
}

TEST(OpenWorkbook, ReadsATextFileOfCellsIntoASheetNamedAfterIt)
{
    test::TempFolder folder;
    test::writeBytes(folder.path() / "三年二班.csv", "座號,分數\r\n1,90\r\n");
    const WorkbookRead read = OpenWorkbook(folder.path() / "三年二班.csv");
    ASSERT_EQ(read.error, u"");
    EXPECT_EQ(read.workbook.sheets.at(0).name, u"三年二班");
    EXPECT_EQ(read.workbook.sheets.at(0).rows, (std::vector<Column>{{u"座號", u"分數"}, {u"1", u"90"}}));
}

// The smallest compound document whose directory names the stream Excel
// keeps a password-protected .xlsx's key in: a header sector, then a
// directory sector with the root and EncryptionInfo.
std::string encryptedPackage()
{
    std::string file(3 * 512, '\0');
    file.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    const std::u16string name = u"EncryptionInfo";
    const std::size_t entry = 512 + 128;
    for (std::size_t i = 0; i < name.size(); ++i)
        file[entry + 2 * i] = char(name[i]);
    file[entry + 64] = char(2 * (name.size() + 1));
    file[entry + 66] = 2;
    return file;
}

TEST(OpenWorkbook, RefusesBadFilesWithOneSentence)
{
    test::TempFolder folder;
    const std::string whole = test::readBytes(kFiles / "scores-calc.xlsx");
    test::writeBytes(folder.path() / "truncated.xlsx", whole.substr(0, whole.size() / 2));
    test::writeBytes(folder.path() / "encrypted.xlsx", encryptedPackage());
    test::writeBytes(folder.path() / "not-a-workbook.xls", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest");
    // A number format's text of 63,015 two-byte characters in a record of 44
    // bytes: FreeXL would copy it from past its buffer.
    std::string format = test::readBytes(kFiles / "scores-gnumeric.xls");
    format.replace(0x441, 2, "\xF6\x01");
    test::writeBytes(folder.path() / "format-past-record.xls", format);
    const struct {
        std::filesystem::path file;
        std::u16string sentence;
    } rows[] = {
        {kFiles / "encrypted.xls", kPasswordSentence},
        {kFiles / "encrypted.ods", kPasswordSentence},
        {folder.path() / "encrypted.xlsx", kPasswordSentence},
        {folder.path() / "truncated.xlsx", kDamagedSentence},
        {folder.path() / "not-a-workbook.xls", kDamagedSentence},
        {folder.path() / "format-past-record.xls", kDamagedSentence},
        {kFiles / "document.docx", NotATableSentence},
        {kFiles / "binary.xlsb", kBinaryWorkbookSentence},
        {kFiles / "empty.xlsx", u"這個檔案沒有任何儲存格。"},
        {kFiles / "declared-huge.xlsx", kTooLargeSentence},
        // Inflating stops where the header says; the checksum then fails.
        {kFiles / "lying-size.xlsx", kDamagedSentence},
        {kFiles / "many-strings.xlsx", kTooLargeSentence},
        {kFiles / "repeated-bomb.ods", kTooLargeSentence},
        {folder.path() / "missing.xlsx", u"無法讀取這個檔案：找不到這個檔案。"},
        {folder.path(), u"無法讀取這個檔案：這是資料夾，不是檔案。"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file);
        const WorkbookRead read = OpenWorkbook(row.file);
        EXPECT_EQ(read.error, row.sentence);
        EXPECT_TRUE(read.workbook.sheets.empty());
    }
}

TEST(OpenWorkbook, NamesTheSystemsReasonForAFileItCannotRead)
{
    EXPECT_EQ(UnreadableSentence(EACCES), u"無法讀取這個檔案：沒有權限。");
    const std::string reason = std::strerror(EIO);
    EXPECT_EQ(UnreadableSentence(EIO),
              u"無法讀取這個檔案：" + std::u16string(reason.begin(), reason.end()) + u"。");
}

TEST(SheetBuilder, RefusesCellsSpreadFarApart)
{
    CellBudget budget;
    SheetBuilder sheet(u"far", budget);
    // One value per row in the last column: few values, but rows full of blanks.
    EXPECT_THROW(
        {
            for (int row = 0; row < 1000; ++row)
                sheet.setCell(row, 16'383, u"1");
        },
        Refusal);
}

TEST(SheetBuilder, BlanksMergedCellsButTheFirst)
{
    CellBudget budget;
    SheetBuilder sheet(u"merged", budget);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            sheet.setCell(row, column, u"x");
    }
    sheet.blankMerged(0, 0, 1, 1'048'575);
    EXPECT_EQ(sheet.take().rows, (std::vector<Column>{{u"x"}, {}, {u"x", u"x", u"x"}}));
}

} // namespace
} // namespace gradecast
