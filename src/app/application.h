#pragma once

#include <QApplication>

namespace gradecast {

// The application object. A failure that a handler does not skip ends up
// here: the user is told what failed and the program ends.
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace gradecast
