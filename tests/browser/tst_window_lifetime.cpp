// Windows that go away while one of their dialogs is open, pages that ask
// before they are left, and pages that open box after box, in the real
// browser engine on a local server.

#include "app/form1.h"
#include "app/windows.h"
#include "browser/downloads.h"
#include "browser/printing.h"
#include "browser/sign_in.h"
#include "platform/prompt.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/local_server.h"
#include "support/page_helpers.h"
#include "support/settings_folder.h"

#include <QCheckBox>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace gradecast;

namespace {

constexpr int Patience = 30000;

const QByteArray Html = "Content-Type: text/html; charset=utf-8\r\n";

// Pages by path; ?https= names the untrusted site the certificate page goes to.
HttpReply answer(const QByteArray &head)
{
    const QByteArray path = head.split(' ').value(1);
    const auto page = [](const QByteArray &script, const QByteArray &body = "<p>成績</p>") {
        return HttpReply{"200 OK", Html, body + "<script>" + script + "</script>"};
    };
    if (path == "/signin")
        return {"401 Unauthorized", Html + "WWW-Authenticate: Basic realm=\"school\"\r\n", "no"};
    // A file that never ends. With no type, the engine waits for more of it to
    // guess one before the download starts.
    if (path == "/export")
        return {"200 OK", "Content-Type: text/csv\r\nContent-Disposition: attachment\r\n", "1,2",
                1 << 20, true};
    if (path == "/alert")
        return page("setTimeout(() => alert('請注意'), 50)");
    if (path == "/confirm")
        return page("setTimeout(() => confirm('確定嗎?'), 50)");
    if (path == "/prompt")
        return page("setTimeout(() => prompt('姓名', '王'), 50)");
    if (path == "/print")
        return page("setTimeout(() => print(), 50)");
    if (path == "/sign-in")
        return page("", "<iframe src=\"/signin\"></iframe>");
    if (path == "/save")
        return page("setTimeout(() => document.getElementById('a').click(), 50)",
                    "<a id=a href=\"/export\">匯出</a>");
    if (path.startsWith("/certificate?https="))
        return page("setTimeout(() => location = '" + path.mid(19) + "', 50)");
    if (path.startsWith("/pop?"))
        return page(QByteArray::fromPercentEncoding(path.mid(5)));
    if (path == "/unsaved")
        return page("function scoreField() { return document.getElementById('f'); }"
                    "onbeforeunload = e => { e.preventDefault(); e.returnValue = ''; }",
                    "<a href=#>首頁</a><input id=f>");
    return page("");
}

// The window a dialog belongs to.
Form1 *windowOf(QWidget *parent) { return parent ? qobject_cast<Form1 *>(parent->window()) : nullptr; }

} // namespace

class WindowLifetimeTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void dialogEndsWhenItsWindowGoes_data();
    void dialogEndsWhenItsWindowGoes();
    void printPopUpsPrintAndClose_data();
    void printPopUpsPrintAndClose();
    void leavingAPageWithInputAsks_data();
    void leavingAPageWithInputAsks();
    void endingDuringADownloadAsks_data();
    void endingDuringADownloadAsks();
    void pageBoxesCanBeStopped_data();
    void pageBoxesCanBeStopped();

private:
    // A window on path, and the pop-up its script w = window.open(popup) opens.
    Form1 *openWindow(const QString &path);
    Form1 *openPopup(Form1 *opener, const QString &popup);

    QTemporaryDir m_dir;
    std::optional<LocalServer> m_server;
    std::optional<LocalServer> m_untrusted;
    SettingsFolder m_settings;
    QList<PromptRequest> m_shown;
    std::function<QMessageBox::StandardButton(const PromptRequest &)> m_answer;
};

void WindowLifetimeTest::initTestCase()
{
    m_server.emplace(&answer);
    m_untrusted.emplace(&answer, MakeTestCertificates(m_dir.path()));
    SetPromptHandler([this](const PromptRequest &request) {
        m_shown.append(request);
        return m_answer ? m_answer(request) : QMessageBox::No;
    });
}

void WindowLifetimeTest::cleanup()
{
    SetPrintDialogRunner({});
    SetSignInAsker({});
    SetSaveFileChooser({});
    m_answer = {};
    m_shown.clear();
    qDeleteAll(OpenWindows());
    CancelDownloads();
}

Form1 *WindowLifetimeTest::openWindow(const QString &path)
{
    auto *window = new Form1;
    window->show();
    window->WB1->load(m_server->url(path));
    return waitForPage(window->WB1, m_server->url(path)) ? window : nullptr;
}

Form1 *WindowLifetimeTest::openPopup(Form1 *opener, const QString &popup)
{
    const qsizetype before = OpenWindows().size();
    evaluate(opener->WB1, QStringLiteral("w = window.open('%1'), 1").arg(popup));
    return QTest::qWaitFor([&] { return OpenWindows().size() > before; }, Patience)
        ? OpenWindows().last() : nullptr;
}

void WindowLifetimeTest::dialogEndsWhenItsWindowGoes_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("way");
    // Each kind of dialog, and each way a window goes, at least once; a
    // page's script waits while its own box is up, and the engine hears no
    // page while a save dialog is up, so these go by the teacher or by quitting.
    const std::pair<const char *, const char *> rows[] = {
        {"print", "page"},         {"print", "opener"},  {"print", "teacher"},
        {"print", "quit"},         {"certificate", "page"}, {"certificate", "quit"},
        {"sign-in", "teacher"},    {"alert", "teacher"}, {"confirm", "quit"},
        {"prompt", "teacher"},     {"save", "teacher"},
    };
    for (const auto &[dialog, way] : rows)
        QTest::newRow((QString(dialog) + " / " + way).toUtf8()) << QString(dialog) << QString(way);
}

// Whatever closes the window while its dialog is up, the dialog ends as
// cancelled, the window goes after it and the other windows go on. A page
// that closes itself while it prints still prints.
void WindowLifetimeTest::dialogEndsWhenItsWindowGoes()
{
    QFETCH(QString, dialog);
    QFETCH(QString, way);
    QPointer<Form1> opener = openWindow("plain");
    QVERIFY(opener);
    QPointer<Form1> popup;
    int dialogs = 0;
    // Runs inside the dialog: the window is asked to go, and the dialog answers Yes.
    const auto goAway = [&](QWidget *parent) {
        // A page may ask again while its window goes (a sign-in retried):
        // only the first dialog sends the window away.
        if (dialogs++ > 0)
            return;
        // The dialog may come before the pop-up's page has reported back.
        if (!popup)
            popup = windowOf(parent);
        QVERIFY(popup && windowOf(parent) == popup);
        QSignalSpy closing(popup->WB1, &WebBrowser::WindowClosing);
        if (way == "page")
            evaluate(popup->WB1, "window.close(), 1");
        else if (way == "opener")
            evaluate(opener->WB1, "w.close(), 1");
        else if (way == "teacher")
            popup->close();
        else
            opener->Command9->click();
        QVERIFY(way == "teacher" || way == "quit" || closing.size() || closing.wait(Patience));
    };
    const QString pdf = m_dir.filePath(QTest::currentDataTag() + QString(".pdf"));
    SetPrintDialogRunner([&](QPrinter *printer, QWidget *parent) {
        goAway(parent);
        printer->setOutputFileName(pdf);
        return true;
    });
    SetSignInAsker([&](QWidget *parent, const SignInRequest &) {
        goAway(parent);
        return std::optional<Credentials>({"teacher", "x"});
    });
    SetSaveFileChooser([&](QWidget *parent, const QString &) {
        goAway(parent);
        return m_dir.filePath("saved.csv");
    });
    m_answer = [&](const PromptRequest &request) {
        if (request.input)
            *request.input = "李";
        goAway(request.parent);
        return request.buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok;
    };
    const QString path = dialog == "certificate"
        ? "certificate?https=" + m_untrusted->url("sheet").toString() : dialog;
    popup = openPopup(opener, path);
    QVERIFY(popup);

    QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), Patience);
    QVERIFY(dialogs >= 1);
    if (way == "quit") {
        QTRY_VERIFY_WITH_TIMEOUT(opener.isNull(), Patience);
    } else {
        QVERIFY(opener && opener->isVisible());
        QCOMPARE(evaluate(opener->WB1, "6 * 7").toInt(), 42);
    }
    // The teacher's close and quitting cancel the print and the download.
    if (way == "teacher" || way == "quit")
        QVERIFY(!QFile::exists(pdf));
    QVERIFY(!DownloadRunning());
}

void WindowLifetimeTest::printPopUpsPrintAndClose_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::newRow("print, close") << QByteArray("print(); close()");
    QTest::newRow("print, close later") << QByteArray("print(); setTimeout(close, 500)");
    QTest::newRow("close after print") << QByteArray("onafterprint = () => close(); print()");
}

// The school systems' print pop-ups: the page prints, then its window closes.
void WindowLifetimeTest::printPopUpsPrintAndClose()
{
    QFETCH(QByteArray, script);
    QPointer<Form1> opener = openWindow("plain");
    QVERIFY(opener);
    const QString pdf = m_dir.filePath(QTest::currentDataTag() + QString(".pdf"));
    SetPrintDialogRunner([&](QPrinter *printer, QWidget *) {
        printer->setOutputFileName(pdf);
        return true;
    });
    QPointer<Form1> popup = openPopup(opener, "pop?" + script.toPercentEncoding());
    QVERIFY(popup);
    QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), Patience);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pdf).size() > 0, Patience);
    QVERIFY(opener);
    QVERIFY(m_shown.isEmpty());
}

void WindowLifetimeTest::leavingAPageWithInputAsks_data()
{
    QTest::addColumn<bool>("quit");
    QTest::addColumn<bool>("leave");
    QTest::newRow("window's X, stay") << false << false;
    QTest::newRow("window's X, leave") << false << true;
    QTest::newRow("結束離開, stay") << true << false;
    QTest::newRow("結束離開, leave") << true << true;
}

// A page with the teacher's input asks before it is left, once; the default
// is to stay, and staying keeps the page as it was (and, when quitting, every
// window, the one asked before it too).
void WindowLifetimeTest::leavingAPageWithInputAsks()
{
    QFETCH(bool, quit);
    QFETCH(bool, leave);
    QPointer<Form1> other = openWindow("plain");
    QPointer<Form1> window = openWindow("unsaved");
    QVERIFY(window && other);
    // A page just shown may not take a click yet: the click is tried again.
    QTRY_VERIFY_WITH_TIMEOUT(clickScoreField(window->WB1, 1, 2000), Patience);
    QTest::keyClicks(window->WB1->focusProxy(), "85");
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(window->WB1, "f.value").toString(), QString("85"),
                              Patience);
    m_answer = [&](const PromptRequest &) { return leave ? QMessageBox::Yes : QMessageBox::No; };

    if (quit)
        other->Command9->click();
    else
        window->close();
    QTRY_COMPARE_WITH_TIMEOUT(m_shown.size(), 1, Patience);
    QCOMPARE(m_shown[0].defaultButton, QMessageBox::No);
    QVERIFY(m_shown[0].text.contains("仍要離開這個網頁嗎?"));
    if (leave) {
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(other.isNull(), quit, Patience);
        QCOMPARE(m_shown.size(), 1);
        return;
    }
    QSignalSpy noAnswer(window->WB1, &WebBrowser::WindowClosing);
    QVERIFY(!noAnswer.wait(4000));
    QVERIFY(window && other);
    QCOMPARE(evaluate(window->WB1, "f.value").toString(), QString("85"));
    QCOMPARE(evaluate(other->WB1, "document.body.innerText").toString(), QString("成績"));
}

void WindowLifetimeTest::endingDuringADownloadAsks_data()
{
    QTest::addColumn<bool>("quit");
    QTest::addColumn<bool>("end");
    // Yes first: a box the cancel wrongly shows turns up in the next row.
    QTest::newRow("結束離開, Yes") << true << true;
    QTest::newRow("window's X, Yes") << false << true;
    QTest::newRow("結束離開, No") << true << false;
    QTest::newRow("window's X, No") << false << false;
}

// Ending the program while a file comes asks first; No keeps the window and
// the download, Yes goes and leaves no part of the file.
void WindowLifetimeTest::endingDuringADownloadAsks()
{
    QFETCH(bool, quit);
    QFETCH(bool, end);
    QPointer<Form1> window = openWindow("plain");
    QVERIFY(window);
    const QString name = QTest::currentDataTag() + QString(".csv");
    SetSaveFileChooser([&](QWidget *, const QString &) { return m_dir.filePath(name); });
    const auto left = [&] { return QDir(m_dir.path()).entryList({name + '*'}); };
    window->WB1->load(m_server->url("export"));
    QTRY_VERIFY_WITH_TIMEOUT(DownloadRunning() && !left().isEmpty(), Patience);
    m_answer = [&](const PromptRequest &) { return end ? QMessageBox::Yes : QMessageBox::No; };

    quit ? window->Command9->click() : void(window->close());
    QCOMPARE(m_shown.value(0).text, QString("下載尚未完成，仍要結束嗎?"));
    QCOMPARE(m_shown.value(0).defaultButton, QMessageBox::No);
    if (end) {
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull() && !DownloadRunning(), Patience);
        QCOMPARE(left(), QStringList());
    } else {
        QCOMPARE(evaluate(window->WB1, "6 * 7").toInt(), 42);
        QVERIFY(window && DownloadRunning() && !left().isEmpty());
    }
    QCOMPARE(m_shown.size(), 1);
}

void WindowLifetimeTest::pageBoxesCanBeStopped_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::newRow("alert again and again") << QByteArray("setInterval(() => alert('再按一次'), 300)");
    QTest::newRow("print every 300 ms") << QByteArray("setInterval(print, 300)");
}

// From the second box in a row the teacher may stop the page's boxes; then
// the window closes.
void WindowLifetimeTest::pageBoxesCanBeStopped()
{
    QFETCH(QByteArray, script);
    QPointer<Form1> opener = openWindow("plain");
    QVERIFY(opener);
    int printDialogs = 0;
    SetPrintDialogRunner([&](QPrinter *, QWidget *) { return ++printDialogs, false; });
    m_answer = [&](const PromptRequest &request) {
        if (request.checked)
            *request.checked = true;
        return QMessageBox::No;
    };
    QPointer<Form1> popup = openPopup(opener, "pop?" + script.toPercentEncoding());
    QVERIFY(popup);
    QTRY_VERIFY_WITH_TIMEOUT(!m_shown.isEmpty() && !m_shown.last().checkBoxText.isEmpty(),
                             Patience);
    const qsizetype shown = m_shown.size();
    QVERIFY(shown <= 2);
    QVERIFY(printDialogs <= 1);
    popup->close();
    QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), Patience);
    QCOMPARE(evaluate(opener->WB1, "6 * 7").toInt(), 42);
}

GRADECAST_GUI_TEST_MAIN(WindowLifetimeTest)
#include "tst_window_lifetime.moc"
