#include "app/sheet_choice.h"

#include <QStringList>

#include <algorithm>

namespace gradecast {

namespace {

std::u16string headerText(const SheetChoice &choice, int column)
{
    if (!choice.headerRow)
        return {};
    const auto &cells = choice.sheet->rows[static_cast<std::size_t>(*choice.headerRow)];
    return static_cast<std::size_t>(column) < cells.size()
        ? cells[static_cast<std::size_t>(column)]
        : std::u16string();
}

// Sheet rows as the teacher numbers them: 「第 6 列」, 「第 5、6 列」, 「第 5 – 9 列」.
QString rowSpan(int first, int last)
{
    if (first == last)
        return QStringLiteral("第 %1 列").arg(first + 1);
    const QString between = last == first + 1 ? QStringLiteral("、") : QStringLiteral(" – ");
    return QStringLiteral("第 %1%2%3 列").arg(first + 1).arg(between).arg(last + 1);
}

} // namespace

QString ColumnName(const SheetChoice &choice, int column)
{
    const QString header = QString::fromStdU16String(headerText(choice, column)).trimmed();
    return header.isEmpty()
        ? QStringLiteral("%1 欄").arg(QString::fromStdU16String(ColumnLetters(column)))
        : header;
}

QString ChoiceSummary(const SheetChoice &choice, const ChosenLines &lines)
{
    if (choice.columns.empty())
        return QStringLiteral("按表格上方的欄名（A、B、C…）選擇要放入的欄，再按一次取消。");
    const int count = choice.rows.count() - static_cast<int>(lines.droppedRows.size());
    if (count <= 0)
        return QStringLiteral("選擇的欄沒有資料。");
    QStringList names;
    for (const int column : choice.columns)
        names << ColumnName(choice, column);
    QString summary = QStringLiteral("將放入 %1 行：%2（%3）")
                          .arg(count)
                          .arg(names.join(QStringLiteral("、")),
                               rowSpan(choice.rows.first, choice.rows.first + count - 1));
    if (!lines.droppedRows.empty())
        summary += QStringLiteral("；%1 沒有資料，不放入")
                       .arg(rowSpan(lines.droppedRows.front(), lines.droppedRows.back()));
    return summary;
}

std::optional<int> StudentColumnToOffer(const SheetChoice &choice, const ChosenLines &lines)
{
    const auto isStudent = [&](int column) { return IsStudentHeader(headerText(choice, column)); };
    if (lines.droppedRows.empty()
        || std::any_of(choice.columns.begin(), choice.columns.end(), isStudent))
        return std::nullopt;
    const int columns = choice.headerRow
        ? static_cast<int>(choice.sheet->rows[static_cast<std::size_t>(*choice.headerRow)].size())
        : 0;
    for (int column = 0; column < columns; ++column)
        if (isStudent(column))
            return column;
    return std::nullopt;
}

QString AbsentStudentsQuestion(const std::vector<int> &droppedRows, const QString &studentColumn)
{
    const auto count = static_cast<int>(droppedRows.size());
    return QStringLiteral("最後 %1 位學生（%2）沒有成績，貼上時%3會被略去。"
                          "要一併放入「%4」欄，讓他們填入缺考文字嗎？")
        .arg(count)
        .arg(rowSpan(droppedRows.front(), droppedRows.back()),
             count == 1 ? QStringLiteral("這一行") : QStringLiteral("這幾行"), studentColumn);
}

} // namespace gradecast
