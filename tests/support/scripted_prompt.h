#pragma once

#include "app/prompt.h"

#include <QList>

namespace gradecast {

// Answers the program's message boxes in order, as a user would, and keeps
// every box it was shown. A box with no answer left is answered No and counted.
class ScriptedPrompt
{
public:
    ScriptedPrompt();
    ~ScriptedPrompt();
    ScriptedPrompt(const ScriptedPrompt &) = delete;
    ScriptedPrompt &operator=(const ScriptedPrompt &) = delete;

    void answer(QMessageBox::StandardButton button) { m_answers.append(button); }

    const QList<PromptRequest> &shown() const { return m_shown; }
    int unanswered() const { return m_unanswered; }
    void clear() { m_shown.clear(); }

private:
    QList<QMessageBox::StandardButton> m_answers;
    QList<PromptRequest> m_shown;
    int m_unanswered = 0;
    PromptHandler m_previous;
};

} // namespace gradecast
