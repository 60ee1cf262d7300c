#pragma once

#include <string_view>

class QObject;

namespace gradecast {

// Posts the key events that type one keystroke string to receiver and
// returns at once; the keys arrive in the order of the calls. Returns false,
// delivering nothing, for a string that is not a keystroke string.
bool SendKeyString(QObject *receiver, std::u16string_view keys);

// Runs every event that is pending for the user-interface thread, once.
void PumpMessages();

} // namespace gradecast
