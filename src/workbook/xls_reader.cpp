#include "workbook/xls_reader.h"

#include "sheet/number_cell.h"
#include "workbook/compound_file.h"
#include "workbook/refusal.h"
#include "workbook/xls_formulas.h"

#include <QString>

#include <freexl.h>

namespace gradecast {
namespace {

std::u16string utf8Text(const char *text)
{
    return text ? QString::fromUtf8(text).toStdU16String() : std::u16string();
}

std::u16string cellText(const FreeXL_CellValue &cell)
{
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return NumberCellText(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return NumberCellText(cell.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    // FreeXL gives dates and times as texts ("2024-05-20", "08:30:00"): the
    // cell's format told it they are no numbers.
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return utf8Text(cell.value.text_value);
    default:
        return {};
    }
}

[[noreturn]] void refuseOpen(int result)
{
    switch (result) {
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        Refuse(NotATableSentence);
    case FREEXL_INSUFFICIENT_MEMORY:
        Refuse(kTooLargeSentence);
    default:
        Refuse(kDamagedSentence);
    }
}

// FreeXL gives formula cells blank: their last results are read from the
// workbook's own records, Workbook in BIFF8, Book in BIFF5. Read before FreeXL
// sees the file, so that FreeXL gets only a document whose sector chains and
// records hold together: it reads a damaged one out of bounds.
std::vector<std::vector<FormulaResult>> formulaResults(std::string_view document)
{
    auto stream = CompoundStream(document, u"Workbook");
    if (!stream)
        stream = CompoundStream(document, u"Book");
    // A compound document without a workbook: a .doc, a .ppt.
    if (!stream)
        Refuse(NotATableSentence);
    return XlsFormulaResults(*stream);
}

// FreeXL's handle, closed whatever happens (even after a failed open).
struct Handle {
    const void *handle = nullptr;
    ~Handle() { freexl_close(handle); }
};

} // namespace

Workbook ReadXls(const std::filesystem::path &file, std::string_view bytes, CellBudget &budget)
{
    const auto formulas = formulaResults(bytes);
    Handle xls;
    if (const int result = freexl_open(file.c_str(), &xls.handle); result != FREEXL_OK)
        refuseOpen(result);
    // FreeXL opens a workbook with a password without a handle and without
    // an error (1.0.6); a later version may give the handle and say so.
    unsigned int password = 0;
    if (!xls.handle
        || (freexl_get_info(xls.handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK
            && password == FREEXL_BIFF_OBFUSCATED))
        Refuse(kPasswordSentence);
    unsigned int sheetCount = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK)
        Refuse(kDamagedSentence);
    // FreeXL lists every sheet the workbook does, charts too, in its order.
    if (formulas.size() != sheetCount)
        Refuse(kDamagedSentence);

    Workbook workbook;
    for (unsigned short index = 0; index < sheetCount; ++index) {
        const char *name = nullptr;
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_get_worksheet_name(xls.handle, index, &name) != FREEXL_OK
            || freexl_select_active_worksheet(xls.handle, index) != FREEXL_OK
            || freexl_worksheet_dimensions(xls.handle, &rows, &columns) != FREEXL_OK)
            Refuse(kDamagedSentence);
        SheetBuilder sheet(utf8Text(name), budget);
        // FreeXL's blank formula cells keep these; its values go over them.
        for (const FormulaResult &result : formulas[index])
            sheet.setCell(result.row, result.column, result.text);
        for (unsigned int row = 0; row < rows; ++row) {
            for (unsigned short column = 0; column < columns; ++column) {
                FreeXL_CellValue cell{};
                if (freexl_get_cell_value(xls.handle, row, column, &cell) != FREEXL_OK)
                    Refuse(kDamagedSentence);
                sheet.setCell(int(row), int(column), cellText(cell));
            }
        }
        workbook.sheets.push_back(sheet.take());
    }
    return workbook;
}

} // namespace gradecast
