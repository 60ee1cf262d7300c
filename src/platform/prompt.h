#pragma once

#include <QMessageBox>
#include <QPointer>
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
    // A page's box (WindowModal) holds its own window only, and not against
    // its close: the teacher can close the window or quit from any window.
    Qt::WindowModality modality = Qt::ApplicationModal;
    // With a text, the box has a check box of that text; checked says whether
    // the user ticked it.
    QString checkBoxText;
    bool *checked = nullptr;
    // With input set, the box asks for a line of text that starts as *input
    // and is written back when the user answers Ok.
    QString *input = nullptr;
};

// Shows the box and returns the button pressed. Every box of the program goes
// through here, so tests can answer them. A box whose window is closed while
// it is up ends as No (or Cancel).
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

// Marks a dialog of the window of widget as open, for this object's life: the
// dialog runs a loop on the stack whose objects the window owns, so the
// window must not go away under it. A close that comes meanwhile ends the
// window's dialogs as cancelled and closes the window when the last is over.
class WindowDialog
{
public:
    // A print dialog is left open when the page itself closes its window:
    // the page printed first, and the window goes once the teacher has answered.
    enum Kind { Ordinary, Print };
    explicit WindowDialog(QWidget *widget, Kind kind = Ordinary);
    ~WindowDialog();
    WindowDialog(const WindowDialog &) = delete;
    WindowDialog &operator=(const WindowDialog &) = delete;

    // True when the window is to close: the caller takes the answer as cancelled.
    bool windowClosing() const;

private:
    QPointer<QWidget> m_window;
    Kind m_kind;
};

// Who asks a window to close.
enum class CloseBy { Page, Teacher };

// For a window about to close: true when a dialog of it is open. The close is
// then remembered and the window's close() called again after the last
// dialog; the dialogs end as cancelled unless the page itself closes while
// it prints.
bool PostponeCloseForDialogs(QWidget *window, CloseBy by);

// Whether a dialog of window is open.
bool HasOpenDialog(const QWidget *window);

} // namespace gradecast
