#include "app/form1.h"

#include "app/file_drop.h"
#include "entry/keystroke_script.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextCursor>

namespace gradecast {

// A spreadsheet opens into the box from a file dropped on it, its menu's
// 「開啟試算表…」 or Ctrl+O anywhere in the window.
void Form1::equipScoreBox()
{
    new FileDrop(Text2->viewport(), [this](const QString &file) { openSpreadsheet(file); });
    Text2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Text2, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu *menu = Text2->createStandardContextMenu(at);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        QAction *open = menu->addAction(QStringLiteral("開啟試算表…"));
        open->setShortcut(QKeySequence::Open);
        connect(open, &QAction::triggered, this, &Form1::chooseSpreadsheet);
        menu->popup(Text2->viewport()->mapToGlobal(at));
    });
    connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this,
            &Form1::chooseSpreadsheet);
}

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
