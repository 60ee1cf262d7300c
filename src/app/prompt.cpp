#include "app/prompt.h"

#include <QAbstractButton>

namespace gradecast {

namespace {

PromptHandler &handler()
{
    static PromptHandler current;
    return current;
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
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QMessageBox::StandardButton Prompt(const PromptRequest &request)
{
    return handler() ? handler()(request) : showMessageBox(request);
}

PromptHandler SetPromptHandler(PromptHandler replacement)
{
    return std::exchange(handler(), std::move(replacement));
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

} // namespace gradecast
