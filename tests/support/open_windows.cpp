#include "support/open_windows.h"

#include <QApplication>

namespace gradecast {

QList<Form1 *> openWindows()
{
    QList<Form1 *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<Form1 *>(widget); form && form->isVisible())
            found << form;
    }
    return found;
}

} // namespace gradecast
