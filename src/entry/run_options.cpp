#include "entry/run_options.h"

namespace gradecast {

FillOptions RunFillOptions(const SettingsRecord &record, SeparatorBoxes boxes)
{
    FillOptions options;
    options.AbsentText = TrimSpaces(record.AbsentText);
    options.Score100Text = TrimSpaces(record.Score100Text);
    options.DecimalPlaces = record.DecimalPlaces;
    options.TabAfterEntry = boxes.tab;
    options.EnterAfterEntry = boxes.enter;
    return options;
}

} // namespace gradecast
