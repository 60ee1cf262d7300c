#pragma once

#include <utility>

namespace gradecast {

// A dialog that tests answer in the user's place. Each kind of dialog has a
// function type of its own; its hook holds the function that stands in for
// the dialog, and while that is empty the real dialog is shown.
template <typename Answer>
Answer &DialogHook()
{
    static Answer current;
    return current;
}

// Puts answer in the dialog's place (an empty one brings the dialog back) and
// returns the one it replaces.
template <typename Answer>
Answer SetDialogHook(Answer answer)
{
    return std::exchange(DialogHook<Answer>(), std::move(answer));
}

} // namespace gradecast
