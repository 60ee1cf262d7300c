#pragma once

#include "platform/prompt.h"

#include <QList>

#include <functional>
#include <utility>

namespace gradecast {

// Answers the program's message boxes in order, as a user would, and keeps
// every box it was shown. A box with no answer left is answered No.
class ScriptedPrompt
{
public:
    ScriptedPrompt()
        : m_previous(SetPromptHandler([this](const PromptRequest &request) {
              m_shown.append(request);
              if (m_answerWith)
                  return m_answerWith(request);
              return m_answers.isEmpty() ? QMessageBox::No : m_answers.takeFirst();
          }))
    {
    }
    ~ScriptedPrompt() { SetPromptHandler(std::move(m_previous)); }
    ScriptedPrompt(const ScriptedPrompt &) = delete;
    ScriptedPrompt &operator=(const ScriptedPrompt &) = delete;

    void answer(QMessageBox::StandardButton button) { m_answers.append(button); }
    // Answers every further box with what answer returns; it may act inside the box.
    void answerWith(std::function<QMessageBox::StandardButton(const PromptRequest &)> answer)
    {
        m_answerWith = std::move(answer);
    }

    const QList<PromptRequest> &shown() const { return m_shown; }

private:
    QList<QMessageBox::StandardButton> m_answers;
    QList<PromptRequest> m_shown;
    std::function<QMessageBox::StandardButton(const PromptRequest &)> m_answerWith;
    PromptHandler m_previous;
};

} // namespace gradecast
