// The program's first window opens as the teacher left it: size, place and
// maximised state, kept per user apart from the settings file.

#include "app/form1.h"
#include "app/window_placement.h"
#include "support/gui_test_main.h"
#include "support/settings_folder.h"

#include <QSettings>
#include <QTemporaryDir>

using namespace gradecast;

class WindowPlacementTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_userFolder.path());
    }
    void reopensAsItWasLeft();

private:
    // A first window as the program opens it, shown.
    static Form1 *firstWindow()
    {
        auto *window = new Form1;
        KeepWindowPlacement(window);
        window->show();
        return window;
    }

    QTemporaryDir m_userFolder;
    SettingsFolder m_settings;
};

void WindowPlacementTest::reopensAsItWasLeft()
{
    Form1 *window = firstWindow();
    const QSize first = window->size();
    window->resize(first + QSize(120, 80));
    QTRY_COMPARE(window->size(), first + QSize(120, 80));
    delete window;

    window = firstWindow();
    QCOMPARE(window->size(), first + QSize(120, 80));
    QVERIFY(!window->isMaximized());
    window->showMaximized();
    QTRY_VERIFY(window->isMaximized());
    delete window;

    window = firstWindow();
    QVERIFY(window->isMaximized());
    // A place no screen shows any more (a screen unplugged) opens on one that is there.
    window->showNormal();
    window->move(40000, 30000);
    QTRY_COMPARE(window->pos(), QPoint(40000, 30000));
    delete window;
    window = firstWindow();
    QVERIFY(window->screen()->availableGeometry().intersects(window->geometry()));
    delete window;
    // The settings file knows nothing of it.
    QVERIFY(m_settings.read().isEmpty());
}

GRADECAST_GUI_TEST_MAIN(WindowPlacementTest)
#include "tst_window_placement.moc"
