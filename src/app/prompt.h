#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <map>

namespace gradecast {

// One modal message box: a question or a report to the user.
struct PromptRequest {
    QWidget *parent = nullptr;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    // Words of the box's own for some of its buttons ("依學生填入" on Yes).
    std::map<QMessageBox::StandardButton, QString> buttonTexts;
};

// Shows the box and returns the button pressed. Every box of the program goes
// through here, so tests can answer them.
QMessageBox::StandardButton Prompt(const PromptRequest &request);

using PromptHandler = std::function<QMessageBox::StandardButton(const PromptRequest &)>;

// Replaces the message boxes (an empty handler restores them); returns the previous handler.
PromptHandler SetPromptHandler(PromptHandler handler);

// A Yes/No question with the window's title as the box's title.
bool AskYesNo(QWidget *window, const QString &text, QMessageBox::Icon icon,
              QMessageBox::StandardButton defaultButton = QMessageBox::Yes);

// A report with an OK button, titled with the window's title ("Gradecast"
// when there is no window).
void Tell(QWidget *window, const QString &text, QMessageBox::Icon icon);

} // namespace gradecast
