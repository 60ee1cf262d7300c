#include "support/scripted_prompt.h"

namespace gradecast {

ScriptedPrompt::ScriptedPrompt()
{
    m_previous = SetPromptHandler([this](const PromptRequest &request) {
        m_shown.append(request);
        if (m_answers.isEmpty()) {
            ++m_unanswered;
            return QMessageBox::No;
        }
        return m_answers.takeFirst();
    });
}

ScriptedPrompt::~ScriptedPrompt()
{
    SetPromptHandler(std::move(m_previous));
}

} // namespace gradecast
