#include "browser/end_program.h"

#include "app/form1.h"

#include <QApplication>

namespace gradecast {

void EndProgram()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<Form1 *>(window)) {
            form->hide();
            form->deleteLater();
        }
    }
    QCoreApplication::quit();
}

} // namespace gradecast
