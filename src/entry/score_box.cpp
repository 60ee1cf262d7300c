#include "app/form1.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace gradecast {

void Form1::Label2_Click()
{
    Text2->setPlainText(QString());
}

// The box keeps its lines apart with LF; the typing rules were written for
// lines that end in CR LF, as pasted from a spreadsheet.
std::u16string Form1::scoreText() const
{
    return Text2->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdU16String();
}

void Form1::removeTrailingLineBreaks(std::size_t count)
{
    if (count == 0)
        return;
    QTextCursor cursor(Text2->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor,
                        static_cast<int>(count));
    cursor.removeSelectedText();
}

} // namespace gradecast
