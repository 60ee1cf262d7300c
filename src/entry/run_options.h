#pragma once

#include "entry/keystroke_script.h"
#include "settings/settings_record.h"

namespace gradecast {

// What a run types with: the two texts as their boxes hold them (trimmed of
// spaces) and the decimals from the record; the separators from the boxes'
// own state, not from UseTab and UseEnter.
FillOptions RunFillOptions(const SettingsRecord &record, SeparatorBoxes boxes);

} // namespace gradecast
