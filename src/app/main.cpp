#include "app/application.h"
#include "app/form1.h"
#include "app/window_placement.h"
#include "app/windows.h"

int main(int argc, char **argv)
{
    // The browser engine shares its graphics contexts with the window's.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    gradecast::Application application(argc, argv);
    auto *first = new gradecast::Form1;
    gradecast::KeepWindowPlacement(first);
    first->show();
    const int status = application.exec();
    // Windows still open when the program ends go before the browser engine does.
    qDeleteAll(gradecast::OpenWindows());
    return status;
}
