#include "app/form1.h"

#include "entry/keystroke_script.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace gradecast {

void Form1::Label2_Click()
{
    Text2->setPlainText(QString());
}

std::u16string Form1::scoreText() const
{
    return ScoreBoxLineEnds(Text2->toPlainText().toStdU16String());
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
