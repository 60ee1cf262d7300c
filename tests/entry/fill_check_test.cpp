#include "entry/fill_check.h"

#include <gtest/gtest.h>

namespace gradecast {
namespace {

LandedEntry keys(int sent, int seen, int field = -1, bool gone = false)
{
    return {.keysSent = sent, .keysSeen = seen, .field = field, .fieldGone = gone, .value = {},
            .valueAtSeparator = {}, .redrawn = false, .rejected = false, .rejection = {}};
}

// An entry whose keys all reached field, which held atSeparator when its
// separator came and holds value now; with a rejection, marked invalid.
LandedEntry in(int field, std::u16string value, std::optional<std::u16string> atSeparator = {},
               bool redrawn = false, std::optional<std::u16string> rejection = {})
{
    return {.keysSent = 3, .keysSeen = 3, .field = field, .fieldGone = false, .value = value,
            .valueAtSeparator = atSeparator ? atSeparator : value, .redrawn = redrawn,
            .rejected = rejection.has_value(), .rejection = rejection.value_or(u"")};
}

const LandedEntry NoField = keys(3, 3);
const LandedEntry Swallowed = keys(3, 0);
const LandedEntry Gone = keys(3, 3, 7, true);

std::vector<PlannedEntry> entries(const std::vector<std::u16string> &texts)
{
    std::vector<PlannedEntry> typed;
    for (const std::u16string &text : texts)
        typed.push_back({int(typed.size()) + 1, text, 1});
    return typed;
}

TEST(FillCheck, NamesWhatDiffersAndTypesAgainOnlyWhatThePageLostAfterItLanded)
{
    struct Row {
        const char *name;
        std::vector<std::u16string> typed;
        PageReport page;
        std::vector<std::size_t> again;
        std::u16string message;
    };
    const std::u16string emptied = u"第 1 筆「 85」在欄位中成為「」。\n";
    const std::vector<Row> rows = {
        {"same text, same number, redrawn and kept", {u" 85", u" 100", u"07", u"A+", u" .5", u"-1"},
         {{in(0, u" 85", u" 85", true), in(1, u"100.0"), in(2, u"7.0"), in(3, u"A+"), in(4, u"0.5"),
           in(5, u"-1.0")}, 6}, {}, u""},
        {"cut and filtered at once", {u" 100", u"缺"}, {{in(0, u" 1"), in(1, u"")}, 2}, {},
         u"第 1 筆「 100」在欄位中成為「 1」。\n第 2 筆「缺」在欄位中成為「」。\n"},
        {"only plain numbers match by value", {u" 85", u" 1", u"."},
         {{in(0, u"85分"), in(1, u"1e0"), in(2, u"0")}, 3}, {},
         u"第 1 筆「 85」在欄位中成為「85分」。\n第 2 筆「 1」在欄位中成為「1e0」。\n"
         u"第 3 筆「.」在欄位中成為「0」。\n"},
        {"landed, then emptied", {u" 85"}, {{in(0, u"", u" 85")}, 1}, {0}, emptied},
        {"redrawn with half of it at the separator", {u" 85"}, {{in(0, u"", u" 8", true)}, 1}, {0},
         emptied},
        {"no separator, no redraw", {u" 85"}, {{keys(3, 3, 0)}, 1}, {}, emptied},
        {"two entries in one field", {u" 85", u" 90"},
         {{in(4, u"", u" 85"), in(4, u"", u" 90")}, 2}, {}, emptied + u"第 2 筆與第 1 筆進入同一個欄位。\n"},
        {"in no field, keys swallowed", {u" 85", u" 90"}, {{NoField, Swallowed}, 2}, {},
         u"第 1 筆「 85」沒有進入任何輸入欄位。\n第 2 筆「 90」沒有進入任何輸入欄位。\n"},
        {"field gone", {u" 85", u" 90", u" 70"}, {{in(0, u" 85"), in(1, u" 90"), Gone}, 3}, {},
         u"第 3 筆的欄位已不在頁面上。\n"},
        {"rejected by the page", {u"A", u" 90"},
         {{in(0, u"A", {}, false, u"請輸入數字"), in(1, u" 90", {}, false, u"")}, 2}, {},
         u"第 1 筆「A」頁面標示為錯誤：請輸入數字\n第 2 筆「 90」頁面標示為錯誤。\n"
         u"這個網頁不接受數字前的空白：在「100分使用」填入 100，成績會以整數輸入，前面不加空白。\n"},
        {"a rejected word needs no remedy", {u"缺"}, {{in(0, u"缺", {}, false, u"")}, 1}, {},
         u"第 1 筆「缺」頁面標示為錯誤。\n"},
        {"empty entries are judged by their keys only", {u"", u"", u" 85"},
         {{in(0, u"80"), Swallowed, in(1, u" 85")}, 3}, {}, u"第 2 筆「」沒有進入任何輸入欄位。\n"},
        {"entries that press no key are not judged", {u"缺"}, {{LandedEntry{}}, 1}, {}, u""},
        {"not followed", {u" 85", u" 90", u" 70", u" 60"},
         {{in(0, u" 85"), in(1, u"9"), in(2, u"", u" 70"), in(3, u"")}, 2}, {},
         u"第 2 筆「 90」在欄位中成為「9」。\n無法核對第 3 筆以後的成績。\n"},
        {"navigated", {u" 85", u" 90"}, {{in(0, u"", u" 85")}, 1, true}, {},
         emptied + u"填入時頁面換頁了，換頁前填入 1 筆，無法核對後面的成績。\n"},
        {"busy: from the first entry not as typed", {u" 85", u" 90", u" 70"},
         {{in(0, u" 85"), in(1, u"", u" 90"), Gone}, 3, false, true}, {},
         u"頁面仍在處理，無法確認第 2 筆以後的成績。\n"},
        {"busy, every entry as typed", {u" 85"}, {{in(0, u" 85")}, 1, false, true}, {}, u""},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(EntriesToTypeAgain(entries(row.typed), row.page), row.again) << row.name;
        EXPECT_EQ(FillCheckMessage(entries(row.typed), row.page), row.message) << row.name;
    }
}

TEST(FillCheck, SaysWhatWentWhereInTheRowsTyped)
{
    const std::vector<std::u16string> students = {u"1 王小明", u"2 林大同", u"3 吳佳穎"};
    PageReport intoAnother{{in(0, u" 85"), in(1, u""), in(2, u" 70")}, 3};
    intoAnother.entries[1].otherRow = 2;
    EXPECT_EQ(FillCheckMessage(entries({u" 85", u"100", u" 70"}), intoAnother, {}, students),
              u"第 2 筆「100」填進了 3 吳佳穎 的欄位。\n");

    // Beside the scores, as typed: a feedback field written, a box ticked and
    // one cleared, an option chosen, in a row with no name.
    PageReport changed{{in(0, u" 85"), in(1, u" 90")}, 2};
    changed.rowChanges = {{RowChange::Kind::Text, 0, u"回饋", u"85"},
                          {RowChange::Kind::Checked, 1, u"排除", u""},
                          {RowChange::Kind::Unchecked, 1, u"", u""},
                          {RowChange::Kind::Chosen, 7, u"等第", u"甲"}};
    EXPECT_EQ(FillCheckMessage(entries({u" 85", u" 90"}), changed, {}, students),
              u"1 王小明 的「回饋」變成「85」。\n2 林大同 的「排除」被勾選了。\n"
              u"2 林大同 的一個欄位被取消勾選了。\n第 8 列 的「等第」選成了「甲」。\n");

    // An order fill that stopped before a checkbox; a form sent by Enter, held back.
    PageReport stopped{{in(0, u" 85"), LandedEntry{}, LandedEntry{}}, 3};
    stopped.stopped = StoppedAt{1, u"核取方塊", u"排除"};
    stopped.submitHeld = true;
    EXPECT_EQ(FillCheckMessage(entries({u" 85", u" 90", u" 70"}), stopped),
              u"第 2 筆前游標停在核取方塊「排除」，後面 2 筆沒有填入。\n"
              u"這個網頁按 Enter 會送出表單，填入時已擋下；填完請按網頁的儲存鈕。\n");
    EXPECT_TRUE(EntriesToTypeAgain(entries({u" 85", u" 90", u" 70"}), stopped).empty());
}

} // namespace
} // namespace gradecast
