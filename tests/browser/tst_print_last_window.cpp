// A page in the program's only window prints and then closes the window:
// the program ends with its last window, but not before the print is done.

#include "app/form1.h"
#include "browser/printing.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/settings_folder.h"

#include <QPrinter>
#include <QTemporaryDir>

using namespace gradecast;

class PrintLastWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void printsBeforeTheProgramEnds();
};

void PrintLastWindowTest::printsBeforeTheProgramEnds()
{
    const SettingsFolder settings;
    const QTemporaryDir folder;
    const QString pdf = folder.filePath("成績單.pdf");
    bool asked = false;
    SetPrintDialogRunner([&](QPrinter *printer, QWidget *) {
        printer->setOutputFileName(pdf);
        return asked = true;
    });
    QVERIFY(openWindow(testPage("print-close.html")));
    // The program's own loop, which ends when its last window has gone; a
    // program that never ends fails here in seconds.
    QTimer::singleShot(20000, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(asked);
    QVERIFY(QFileInfo(pdf).size() > 0);
}

GRADECAST_GUI_TEST_MAIN(PrintLastWindowTest)
#include "tst_print_last_window.moc"
