#include "platform/prompt.h"

#include "platform/dialog_hook.h"
#include "platform/input_lock.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace gradecast {

namespace {

// Marks a box that runs on the stack without Qt's modality: a page's box.
const char *const HeldBox = "gradecastHeldBox";

// Runs the box until it is answered and returns its result. A page's box
// holds its window with an input lock rather than Qt's modality: a window
// that a modal box blocks takes no close from its X and no click on its quit
// button, and the teacher would have to answer the page first.
int runBox(QDialog &box, const PromptRequest &request)
{
    if (request.modality != Qt::WindowModal || !request.parent) {
        box.setWindowModality(request.modality);
        return box.exec();
    }
    // A message box makes itself modal.
    box.setWindowModality(Qt::NonModal);
    box.setProperty(HeldBox, true);
    const QPointer<InputLock> hold =
        new InputLock(request.parent->window(), InputLock::AllButClosing);
    hold->setLocked(true);
    QEventLoop loop;
    QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
    box.show();
    loop.exec(QEventLoop::DialogExec);
    delete hold;
    return box.result();
}

QCheckBox *addCheckBox(const PromptRequest &request, QWidget *box)
{
    return request.checkBoxText.isEmpty() ? nullptr : new QCheckBox(request.checkBoxText, box);
}

QMessageBox::StandardButton showMessageBox(const PromptRequest &request)
{
    QMessageBox box(request.icon, request.title, request.text, request.buttons, request.parent);
    // The texts quote the teacher's cells and file names: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    for (const auto &[button, text] : request.buttonTexts)
        if (QAbstractButton *shown = box.button(button))
            shown->setText(text);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    QCheckBox *check = addCheckBox(request, &box);
    if (check)
        box.setCheckBox(check);
    const auto answer = static_cast<QMessageBox::StandardButton>(runBox(box, request));
    if (check && request.checked)
        *request.checked = check->isChecked();
    return answer;
}

QMessageBox::StandardButton showInputBox(const PromptRequest &request)
{
    QDialog box(request.parent);
    box.setWindowTitle(request.title);
    auto *layout = new QVBoxLayout(&box);
    auto *label = new QLabel(request.text, &box);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    auto *line = new QLineEdit(*request.input, &box);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(line);
    QCheckBox *check = addCheckBox(request, &box);
    if (check)
        layout->addWidget(check);
    layout->addWidget(buttons);
    const bool accepted = runBox(box, request) == QDialog::Accepted;
    if (check && request.checked)
        *request.checked = check->isChecked();
    if (!accepted)
        return QMessageBox::Cancel;
    *request.input = line->text();
    return QMessageBox::Ok;
}

QMessageBox::StandardButton cancelButton(QMessageBox::StandardButtons buttons)
{
    for (QMessageBox::StandardButton button : {QMessageBox::No, QMessageBox::Cancel})
        if (buttons & button)
            return button;
    return QMessageBox::Ok;
}

// The dialogs of a window that are open on the stack, and what happens after them.
struct DialogState {
    int open = 0;
    int printing = 0;
    bool closing = false;
    bool cancelled = false;
};

QHash<const QWidget *, DialogState> &dialogStates()
{
    static QHash<const QWidget *, DialogState> states;
    return states;
}

// Rejecting a dialog on the stack ends its loop; the code that opened it sees a cancel.
void endModalDialogsOf(const QWidget *window)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<QDialog *>(widget);
        if (dialog && dialog->isVisible()
            && (dialog->isModal() || dialog->property(HeldBox).toBool()) && dialog->parentWidget()
            && dialog->parentWidget()->window() == window)
            dialog->reject();
    }
}

} // namespace

QMessageBox::StandardButton Prompt(const PromptRequest &request)
{
    const WindowDialog open(request.parent);
    QMessageBox::StandardButton answer;
    if (DialogHook<PromptHandler>())
        answer = DialogHook<PromptHandler>()(request);
    else
        answer = request.input ? showInputBox(request) : showMessageBox(request);
    return open.windowClosing() ? cancelButton(request.buttons) : answer;
}

PromptHandler SetPromptHandler(PromptHandler replacement)
{
    return SetDialogHook(std::move(replacement));
}

bool AskYesNo(QWidget *window, const QString &text, QMessageBox::Icon icon,
              QMessageBox::StandardButton defaultButton)
{
    PromptRequest request;
    request.parent = window;
    request.title = window->windowTitle();
    request.text = text;
    request.icon = icon;
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    request.defaultButton = defaultButton;
    return Prompt(request) == QMessageBox::Yes;
}

void Tell(QWidget *window, const QString &text, QMessageBox::Icon icon)
{
    PromptRequest request;
    request.parent = window;
    request.title = window ? window->windowTitle() : QStringLiteral("Gradecast");
    request.text = text;
    request.icon = icon;
    Prompt(request);
}

WindowDialog::WindowDialog(QWidget *widget, Kind kind)
    : m_window(widget ? widget->window() : nullptr)
    , m_kind(kind)
{
    if (!m_window)
        return;
    DialogState &state = dialogStates()[m_window];
    ++state.open;
    state.printing += m_kind == Print;
}

WindowDialog::~WindowDialog()
{
    if (!m_window)
        return;
    const auto found = dialogStates().find(m_window);
    if (found == dialogStates().end())
        return;
    found->printing -= m_kind == Print;
    if (--found->open > 0)
        return;
    const bool closing = found->closing;
    dialogStates().erase(found);
    // Not from here: the dialog's caller is still on the stack.
    if (closing)
        QTimer::singleShot(0, m_window, [window = m_window] { window->close(); });
}

bool WindowDialog::windowClosing() const
{
    return m_window && dialogStates().value(m_window).cancelled;
}

bool HasOpenDialog(const QWidget *window)
{
    return dialogStates().contains(window);
}

bool PostponeCloseForDialogs(QWidget *window, CloseBy by)
{
    const auto found = dialogStates().find(window);
    if (found == dialogStates().end())
        return false;
    found->closing = true;
    if (by == CloseBy::Page && found->printing > 0)
        return true;
    found->cancelled = true;
    endModalDialogsOf(window);
    return true;
}

} // namespace gradecast
