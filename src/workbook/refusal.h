#pragma once

#include "sheet/sheet_table.h"

#include <string>

namespace gradecast {

// Why a workbook was not read, as the sentence the teacher is shown. Readers
// throw it from wherever they find the fault; OpenWorkbook turns it into the
// error of its WorkbookRead, so a refused file gives no partial table.
struct Refusal {
    std::u16string sentence;
};

inline constexpr char16_t kDamagedSentence[] = u"這個檔案已損毀，無法讀取。";
inline constexpr char16_t kTooLargeSentence[] = u"這個檔案太大，不像是成績表，沒有讀取。";
inline constexpr char16_t kPasswordSentence[] =
    u"這個檔案有密碼保護，請先在試算表程式中移除密碼後另存新檔。";
inline constexpr char16_t kBinaryWorkbookSentence[] =
    u"這是 Excel 二進位活頁簿（.xlsb），請在 Excel 中另存為 .xlsx 後再開啟。";

[[noreturn]] inline void Refuse(const char16_t *sentence)
{
    throw Refusal{sentence};
}

} // namespace gradecast
