// The school system beyond the score page on local servers and the real engine:
// certificates, downloads, printing, sign-in, zoom and Qt's own dialogs in Chinese;
// windows that go while one of their dialogs is open, pages that ask before they are
// left, and pages that open box after box.

#include "app/form1.h"
#include "app/stuck_pages.h"
#include "app/windows.h"
#include "browser/downloads.h"
#include "browser/printing.h"
#include "browser/sign_in.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/local_server.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <QPrinter>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

using namespace gradecast;

namespace {

const QByteArray Csv = "座號,成績\r\n1,95\r\n2,缺考\r\n";
const QString Sheet = QStringLiteral("第一次段考成績單 Score sheet");

// export: a file; cut: one the server breaks off; slow: one that never ends;
// named?<disposition>: a file named so; sheet?<charset>: the sheet in that encoding;
// signin: a page behind a sign-in; unsaved: a score field whose page asks before it is
// left; pop?<script>: a page that runs script; alert, confirm, prompt, print, save,
// sign-in and certificate?https=<site>: a page that opens that dialog at once.
HttpReply answer(const QByteArray &head)
{
    const QByteArray path = head.split(' ').value(1);
    const QByteArray query = path.mid(path.indexOf('?') + 1);
    if (path.startsWith("/named?"))
        return {"200 OK",
                "Content-Disposition: " + QByteArray::fromPercentEncoding(query) + "\r\n", Csv};
    const QByteArray html = "Content-Type: text/html; charset="
        + (path.startsWith("/sheet?") ? query : "utf-8") + "\r\n";
    if (path == "/export" || path == "/cut" || path == "/slow")
        return {"200 OK",
                "Content-Type: text/csv\r\nContent-Disposition: attachment; "
                "filename=\"scores.csv\"; filename*=UTF-8''%E6%88%90%E7%B8%BE.csv\r\n",
                Csv, path == "/export" ? -1 : 1 << 20, path == "/slow"};
    if (path == "/signin" && !head.contains("Basic " + QByteArray("teacher:s3cret").toBase64()))
        return {"401 Unauthorized", html + "WWW-Authenticate: Basic realm=\"school 成績\"\r\n",
                "<p id=r>請先登入</p>"};
    const auto page = [&](const QByteArray &script, const QByteArray &more = {}) {
        return HttpReply{"200 OK", html,
                         "<p id=r>" + (path == "/signin" ? "歡迎 teacher" : Sheet).toUtf8() + "</p>"
                             + more + "<script>" + script + "</script>"};
    };
    const QHash<QByteArray, QByteArray> dialogs = {
        {"/alert", "alert('請注意')"},       {"/confirm", "confirm('確定嗎?')"},
        {"/prompt", "prompt('姓名', '王')"}, {"/print", "print()"},
        {"/save", "location = '/export'"},
    };
    if (dialogs.contains(path))
        return page("setTimeout(() => " + dialogs[path] + ", 50)");
    if (path == "/sign-in")
        return page("", "<iframe src=\"/signin\"></iframe>");
    if (path.startsWith("/certificate?https="))
        return page("setTimeout(() => location = '" + path.mid(19) + "', 50)");
    if (path.startsWith("/pop?"))
        return page(QByteArray::fromPercentEncoding(query));
    if (path == "/unsaved")
        return page("function scoreField() { return document.getElementById('f'); }"
                    "onbeforeunload = e => { e.preventDefault(); e.returnValue = ''; }",
                    "<a href=#>首頁</a><input id=f>");
    return page("");
}

// The window a dialog belongs to.
Form1 *windowOf(QWidget *parent)
{
    return parent ? qobject_cast<Form1 *>(parent->window()) : nullptr;
}

} // namespace

class SchoolSessionTest : public QObject
{
    Q_OBJECT
private slots:
    // The engine reads the user's NSS database once, as it starts: a school root put there
    // with certutil, as the README tells the teacher, is trusted from the first window on.
    void initTestCase()
    {
        m_trusted = MakeTestCertificates(m_home.path());
        const QString nss = m_home.filePath(".pki/nssdb");
        m_canTrust = !m_trusted.isNull() && QDir().mkpath(nss)
            && QProcess::execute("certutil", {"-d", "sql:" + nss, "-A", "-t", "C,,", "-n", "root",
                                              "-i", m_home.filePath("ca.crt")}) == 0;
        qputenv("HOME", QFile::encodeName(m_home.path()));
        // Rows that see out the program's wait for a page's answer take a second, not three.
        SetPageAnswerMs(1000);
        m_prompt.emplace();
        m_untrusted.emplace(&answer, MakeTestCertificates(m_keys.path()));
    }

    void cleanup()
    {
        SetSaveFileChooser({});
        SetPrintDialogRunner({});
        SetSignInAsker({});
        qDeleteAll(OpenWindows());
        CancelDownloads();
        m_prompt.emplace();
    }

    void certificates()
    {
        if (!m_canTrust)
            QSKIP("no openssl or certutil here to make and trust a school root");
        // Under a root trusted with certutil the page opens with no question.
        LocalServer trusted(&answer, m_trusted);
        QVERIFY(open(trusted.url("sheet")));
        QCOMPARE(pageText(), Sheet);

        QTemporaryDir keys;
        LocalServer https(&answer, MakeTestCertificates(keys.path()));
        const QUrl page = https.url("sheet");
        QSignalSpy finished(m_window->WB1, &QWebEngineView::loadFinished);

        // Another root asks. Return on the question is No: the error page stays.
        m_window->WB1->load(page);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, PatienceMs);
        QCOMPARE(pageText(), QString());
        const PromptRequest question = m_prompt->shown().value(0);
        QCOMPARE(question.defaultButton, QMessageBox::No);
        QVERIFY2(question.text.startsWith("127.0.0.1 ")
                     && question.text.contains("不是由系統信任的憑證機構所簽發"),
                 qPrintable(question.text));

        // Reloading asks again; Yes opens the page, and every window takes
        // that certificate of that host from now on.
        m_prompt->answer(QMessageBox::Yes);
        m_window->WB1->Refresh();
        QVERIFY(waitForPage(m_window->WB1, page));
        QCOMPARE(pageText(), Sheet);
        QVERIFY(open(page));
        // A link with a download attribute, whose certificate the engine refuses:
        // the file still comes, under the server's name, not the address's.
        SetSaveFileChooser([&](QWidget *, const QString &offered) {
            return keys.filePath(QFileInfo(offered).fileName());
        });
        QVERIFY(evaluate(m_window->WB1, "var a = document.createElement('a'); a.href = 'export';"
                                        "a.download = ''; document.body.append(a); a.click(), 1")
                    .toBool());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(keys.filePath("成績.csv")), PatienceMs);
        QCOMPARE(m_prompt->shown().size(), 2);
    }

    // The file lands in the download folder, under a name of it, whatever the server names it.
    void downloads_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("saved");
        const auto row = [](const char *name, const QString &path, const QString &saved,
                            const QString &page = "sheet") {
            QTest::newRow(name) << path << page << true << "" << saved;
        };
        const auto named = [](const QByteArray &disposition) {
            return "named?" + QString::fromLatin1(disposition.toPercentEncoding());
        };
        row("saved whole over the old one", "export", "成績.csv");
        QTest::newRow("cancelled in the save dialog")
            << "export" << "sheet" << false << "" << "成績.csv";
        QTest::newRow("cut off by the server")
            << "cut" << "sheet" << true << "沒有下載完成，沒有存檔：網路連線中斷。" << "成績.csv";
        QTest::newRow("cancelled while loading")
            << "slow" << "sheet" << true << "已取消下載" << "成績.csv";
        // What a name may hold is SafeFileName's; here that the window goes through it.
        row("../x", named("attachment; filename=\"../.xsessionrc\""), "xsessionrc");
        // 253 bytes: a legal name, too long for the temporary one beside it.
        const QString longName = QString(83, u'成') + ".csv";
        const QByteArray longEncoded = longName.toUtf8().toPercentEncoding();
        row("253-byte Chinese", named("attachment; filename*=UTF-8''" + longEncoded), longName);
        row("Big5 bytes", named("attachment; filename=\"\xA6\xA8\xC1\x5A.csv\""), "成績.csv");
        row("ü in UTF-8", named("attachment; filename*=UTF-8''M%C3%BCller.csv"), "Müller.csv");
        row("Shift_JIS page", named("attachment; filename=\"\x90\xAC\x90\xD1.csv\""), "成績.csv",
            "sheet?shift_jis");
    }

    void downloads()
    {
        QFETCH(QString, path);
        QFETCH(QString, page);
        QFETCH(bool, save);
        QFETCH(QString, told);
        QFETCH(QString, saved);
        QDir folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        const QString target = folder.filePath(saved);
        QVERIFY(folder.removeRecursively() && folder.mkpath("."));
        QStringList offered;
        SetSaveFileChooser([&](QWidget *, const QString &suggested) {
            offered << suggested;
            return save ? suggested : QString();
        });
        // The teacher saves over last term's export: it stays whole until the new one is.
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3 && old.flush());
        const auto content = [&] {
            QFile file(target);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QVERIFY(open(m_server.url(page)));
        m_window->WB1->load(m_server.url(path));

        QTRY_COMPARE_WITH_TIMEOUT(offered.value(0), target, PatienceMs);
        if (path == "slow") {
            QProgressDialog *progress = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((progress = m_window->findChild<QProgressDialog *>())
                                         && progress->isVisible(), PatienceMs);
            QCOMPARE(content(), QByteArray("old"));
            QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_prompt->shown().size(), told.isEmpty() ? 0 : 1, PatienceMs);
        QVERIFY(m_prompt->shown().value(0).text.contains(told));
        QTRY_COMPARE_WITH_TIMEOUT(content(), save && told.isEmpty() ? Csv : "old", PatienceMs);
        // Nothing else is left (the engine removes a cancelled part in its own time).
        QTRY_COMPARE_WITH_TIMEOUT(folder.entryList(QDir::Files | QDir::Hidden), QStringList{saved},
                                  PatienceMs);
        // The engine's own tries after a broken transfer ask nothing.
        QCOMPARE(offered.size(), 1);
    }

    void printsThePage_data()
    {
        QTest::addColumn<bool>("closeWindow");
        QTest::newRow("Ctrl+P") << false;
        // The engine crashed when the page went in the middle of a print.
        QTest::newRow("window closed while printing") << true;
    }

    void printsThePage()
    {
        QFETCH(bool, closeWindow);
        QVERIFY(open(m_server.url("sheet")));
        const QString pdf = m_home.filePath(QTest::currentDataTag() + QString(".pdf"));
        const auto request = [&] {
            QTest::keyClick(m_window->WB1->focusProxy(), Qt::Key_P, Qt::ControlModifier);
        };
        int dialogs = 0;
        SetPrintDialogRunner([&](QPrinter *printer, QWidget *) {
            ++dialogs;
            printer->setOutputFileName(pdf);
            // A second request while this one prints is refused.
            if (closeWindow)
                QTimer::singleShot(0, m_window, [this] { delete m_window; });
            else
                QTimer::singleShot(0, m_window, request);
            return true;
        });
        request();
        const auto pdfText = [&] {
            QProcess pdftotext;
            pdftotext.start("pdftotext", {pdf, "-"});
            return pdftotext.waitForFinished(PatienceMs)
                ? QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified() : QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(pdfText(), Sheet, PatienceMs);
        QCOMPARE(dialogs, 1);
    }

    void signIn_data()
    {
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QString>("shown");
        QTest::newRow("user name and password") << true << "歡迎 teacher";
        QTest::newRow("Cancel") << false << "請先登入";
    }

    void signIn()
    {
        QFETCH(bool, answered);
        QFETCH(QString, shown);
        QStringList asked;
        SetSignInAsker([&](QWidget *, const SignInRequest &request) {
            asked << request.host + ' ' + request.realm + (request.proxy ? " proxy" : "");
            return answered ? std::optional<Credentials>({"teacher", "s3cret"}) : std::nullopt;
        });
        LocalServer server(&answer); // a new site: the engine keeps a sign-in for its run
        QVERIFY(open(server.url("signin")));
        QCOMPARE(pageText(), shown);
        QCOMPARE(asked, QStringList{"127.0.0.1 school 成績"});
    }

    // Ctrl + a key or, with key 0 and 1, Ctrl + the wheel up and down, from a zoom.
    void zoom()
    {
        const std::tuple<const char *, double, int, double> steps[] = {
            {"Ctrl+plus", 1.0, Qt::Key_Plus, 1.1},     {"Ctrl+=", 1.0, Qt::Key_Equal, 1.1},
            {"Ctrl+minus", 1.0, Qt::Key_Minus, 0.9},   {"Ctrl+0", 2.5, Qt::Key_0, 1.0},
            {"between steps", 1.2, Qt::Key_Plus, 1.25}, {"500 % most", 5.0, Qt::Key_Plus, 5.0},
            {"25 % least", 0.25, Qt::Key_Minus, 0.25}, {"wheel up", 1.0, 0, 1.1},
            {"wheel down", 0.5, 1, 0.33}};
        QVERIFY(open(m_server.url("sheet")));
        QWidget *page = m_window->WB1->focusProxy();
        for (const auto &[name, from, key, to] : steps) {
            m_window->WB1->setZoomFactor(from);
            if (key > 1) {
                QTest::keyClick(page, Qt::Key(key), Qt::ControlModifier);
            } else {
                QWheelEvent wheel({}, {}, {}, {0, key ? -120 : 120}, Qt::NoButton,
                                  Qt::ControlModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(page, &wheel);
            }
            const double zoom = m_window->WB1->zoomFactor();
            QVERIFY2(qFuzzyCompare(zoom, to), qPrintable(name + QString(": %1").arg(zoom)));
        }
    }

    // The page's alert, answered as the teacher would: its own title, its text
    // as plain text and Qt's standard button in Chinese.
    void dialogsInChinese()
    {
        QVERIFY(open(m_server.url("sheet")));
        QStringList seen;
        QTimer reader;
        reader.callOnTimeout([&] {
            auto *alert = m_window->findChild<QMessageBox *>();
            if (alert && alert->isVisible()) {
                seen << alert->windowTitle() << alert->text() << alert->buttons().first()->text();
                alert->accept();
            }
        });
        reader.start(20);
        // The real box this time, not the test's answers.
        const PromptHandler answers = SetPromptHandler({});
        QVERIFY(evaluate(m_window->WB1, "alert('<b>請確認</b>'), 1").toBool());
        SetPromptHandler(answers);
        QCOMPARE(seen, QStringList({"網頁訊息 - 127.0.0.1", "<b>請確認</b>", "確定"}));
    }

    // Whatever closes the window while its dialog is up, the dialog ends as
    // cancelled, the window goes after it and the other windows go on. A page
    // that closes itself while it prints still prints.
    void dialogEndsWhenItsWindowGoes_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("way");
        // Each kind of dialog with each way a window goes. A page's script
        // waits while its own box is up, and so does its opener's (they share
        // a renderer); the engine hears no page while a save dialog is up:
        // those windows go by the teacher or by quitting.
        const QStringList everyWay = {"page", "opener", "teacher", "quit"};
        const QStringList byTheProgram = {"teacher", "quit"};
        for (const QString dialog :
             {"print", "certificate", "sign-in", "alert", "confirm", "prompt", "save"}) {
            const bool pageWaits = dialog != "print" && dialog != "certificate"
                && dialog != "sign-in";
            for (const QString &way : pageWaits ? byTheProgram : everyWay)
                QTest::newRow(qPrintable(dialog + " / " + way)) << dialog << way;
        }
    }

    void dialogEndsWhenItsWindowGoes()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, way);
        QPointer<Form1> opener = openWindow(m_server.url("plain"));
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
            // A page's close is sent without waiting for the script: the wait is for the close.
            QSignalSpy closing(popup->WB1, &WebBrowser::WindowClosing);
            if (way == "page")
                popup->WB1->page()->runJavaScript("window.close()");
            else if (way == "opener")
                opener->WB1->page()->runJavaScript("w.close()");
            else if (way == "teacher")
                popup->close();
            else
                opener->Command9->click();
            // A page's close during a sign-in is heard once the sign-in is over.
            const bool heardLater = way == "teacher" || way == "quit" || dialog == "sign-in";
            QVERIFY(heardLater || pollUntil([&](int) { return !closing.isEmpty(); }));
        };
        const QString pdf = m_home.filePath(QTest::currentDataTag() + QString(".pdf"));
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
            return m_home.filePath("saved.csv");
        });
        m_prompt->answerWith([&](const PromptRequest &request) {
            if (request.input)
                *request.input = "李";
            goAway(request.parent);
            return request.buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok;
        });
        const QString path = dialog == "certificate"
            ? "certificate?https=" + m_untrusted->url("sheet").toString() : dialog;
        popup = popupOf(opener, "w = window.open('" + path + "')");
        QVERIFY(popup);

        QVERIFY(pollUntil([&](int) { return popup.isNull(); }));
        QVERIFY(dialogs >= 1);
        if (way == "quit") {
            QTRY_VERIFY_WITH_TIMEOUT(opener.isNull(), PatienceMs);
        } else {
            QVERIFY(opener && opener->isVisible());
            QCOMPARE(evaluate(opener->WB1, "6 * 7").toInt(), 42);
        }
        // The teacher's close and quitting cancel the print and the download.
        if (way == "teacher" || way == "quit")
            QVERIFY(!QFile::exists(pdf));
        QVERIFY(!DownloadRunning());
    }

    // The school systems' print pop-ups: the page prints, then its window closes.
    void printPopUpsPrintAndClose_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("print, close") << QByteArray("print(); close()");
        QTest::newRow("print, close later") << QByteArray("print(); setTimeout(close, 500)");
        QTest::newRow("close after print") << QByteArray("onafterprint = () => close(); print()");
    }

    void printPopUpsPrintAndClose()
    {
        QFETCH(QByteArray, script);
        QPointer<Form1> opener = openWindow(m_server.url("plain"));
        QVERIFY(opener);
        const QString pdf = m_home.filePath(QTest::currentDataTag() + QString(".pdf"));
        SetPrintDialogRunner([&](QPrinter *printer, QWidget *) {
            printer->setOutputFileName(pdf);
            return true;
        });
        QPointer<Form1> popup =
            popupOf(opener, "w = window.open('pop?" + script.toPercentEncoding() + "')");
        QVERIFY(popup);
        QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), PatienceMs);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pdf).size() > 0, PatienceMs);
        QVERIFY(opener && m_prompt->shown().isEmpty());
    }

    void endingAsksFirst_data()
    {
        QTest::addColumn<bool>("download"); // a file coming, else a page with the teacher's input
        QTest::addColumn<bool>("quit");     // 結束離開, else the window's X
        QTest::addColumn<bool>("end");      // the teacher's answer
        // Yes first: a box the cancel wrongly shows turns up in the next row.
        for (const bool download : {true, false})
            for (const bool end : {true, false})
                for (const bool quit : {true, false})
                    QTest::newRow(QStringLiteral("%1, %2, %3")
                                      .arg(download ? "download" : "input",
                                           quit ? "結束離開" : "window's X", end ? "Yes" : "No")
                                      .toUtf8())
                        << download << quit << end;
    }

    // Leaving a page with the teacher's input, or ending the program while a file
    // comes, asks once first, No the default. No keeps every window as it was (when
    // quitting, the one asked before it too) and the download going; Yes goes and
    // leaves no part of the file.
    void endingAsksFirst()
    {
        QFETCH(bool, download);
        QFETCH(bool, quit);
        QFETCH(bool, end);
        QPointer<Form1> other = download ? nullptr : openWindow(m_server.url("plain"));
        QPointer<Form1> window = openWindow(m_server.url(download ? "plain" : "unsaved"));
        QVERIFY(window && (download || other));
        const QString name = QTest::currentDataTag() + QString(".csv");
        const auto left = [&] { return QDir(m_home.path()).entryList({name + '*'}); };
        if (download) {
            SetSaveFileChooser([&](QWidget *, const QString &) { return m_home.filePath(name); });
            window->WB1->load(m_server.url("slow"));
            QTRY_VERIFY_WITH_TIMEOUT(DownloadRunning() && !left().isEmpty(), PatienceMs);
        } else {
            QVERIFY(clickScoreField(window->WB1, 1));
            QTest::keyClicks(window->WB1->focusProxy(), "85");
            QTRY_COMPARE_WITH_TIMEOUT(evaluate(window->WB1, "f.value").toString(), "85",
                                      PatienceMs);
        }
        m_prompt->answerWith([&](const PromptRequest &) {
            return end ? QMessageBox::Yes : QMessageBox::No;
        });

        quit ? (other ? other : window)->Command9->click() : void(window->close());
        QTRY_COMPARE_WITH_TIMEOUT(m_prompt->shown().size(), 1, PatienceMs);
        const PromptRequest asked = m_prompt->shown().first();
        QVERIFY2(asked.text.contains(download ? "下載尚未完成，仍要結束嗎?" : "仍要離開這個網頁嗎?"),
                 qPrintable(asked.text));
        QCOMPARE(asked.defaultButton, QMessageBox::No);
        if (end) {
            QTRY_VERIFY_WITH_TIMEOUT(window.isNull() && !DownloadRunning(), PatienceMs);
            QTRY_COMPARE_WITH_TIMEOUT(other.isNull(), quit || download, PatienceMs);
            QCOMPARE(left(), QStringList());
        } else {
            // Nor does the window go when the program's wait for the page's answer is over.
            QSignalSpy gone(window, &QObject::destroyed);
            QVERIFY(!gone.wait(2 * PageAnswerMs()));
            QVERIFY(window && (download || other));
            if (download) {
                QVERIFY(DownloadRunning() && !left().isEmpty());
            } else {
                QCOMPARE(evaluate(window->WB1, "f.value").toString(), "85");
                QCOMPARE(evaluate(other->WB1, "r.textContent").toString(), Sheet);
            }
        }
        QCOMPARE(m_prompt->shown().size(), 1);
    }

    // From the second box in a row the teacher may stop the page's boxes; then
    // the window closes. A page that goes on asking without a pause holds the
    // renderer its opener runs in: the teacher may have the opener loaded again.
    void pageBoxesCanBeStopped_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("stuck");
        QTest::newRow("alert again and again")
            << QByteArray("setInterval(() => alert('再按一次'), 300)") << false;
        QTest::newRow("print every 300 ms") << QByteArray("setInterval(print, 300)") << false;
        QTest::newRow("alert in a loop") << QByteArray("for (;;) alert('再按一次')") << true;
    }

    void pageBoxesCanBeStopped()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, stuck);
        QPointer<Form1> opener = openWindow(m_server.url("plain"));
        QVERIFY(opener);
        QVERIFY(evaluate(opener->WB1, "window.before = 1").toBool());
        int printDialogs = 0;
        SetPrintDialogRunner([&](QPrinter *, QWidget *) { return ++printDialogs, false; });
        int reloadAsked = 0;
        m_prompt->answerWith([&](const PromptRequest &request) {
            if (request.checked)
                *request.checked = true;
            if (!request.text.contains(u"沒有回應"))
                return QMessageBox::No;
            ++reloadAsked;
            return QMessageBox::Yes;
        });
        QPointer<Form1> popup =
            popupOf(opener, "w = window.open('pop?" + script.toPercentEncoding() + "')");
        QVERIFY(popup);
        const auto &shown = m_prompt->shown();
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty() && !shown.last().checkBoxText.isEmpty(),
                                 PatienceMs);
        QVERIFY(shown.size() <= 2 && printDialogs <= 1);
        popup->close();
        QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), PatienceMs);
        // Past the program's wait for the opener's answer: a reload offered only when none came.
        QElapsedTimer closed;
        closed.start();
        QTRY_VERIFY_WITH_TIMEOUT(closed.elapsed() > 2 * PageAnswerMs() && reloadAsked == int(stuck),
                                 PatienceMs);
        // A question sent before the reload gets no answer: it is asked again.
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(opener->WB1, "6 * 7", 500).toInt(), 42, PatienceMs);
        QCOMPARE(evaluate(opener->WB1, "typeof before").toString(), stuck ? "undefined" : "number");
    }

    // A page's own box waits for the teacher, but does not keep the teacher in
    // its window: the window's X and its 結束離開 still end it, as they do
    // under the program's own dialogs. The real box, clicked as the teacher
    // would: a window that Qt holds for a modal box hears neither.
    void pageBoxGivesWayToClosing_data()
    {
        QTest::addColumn<bool>("quit");
        QTest::newRow("alert / window's X") << false;
        QTest::newRow("alert / 結束離開") << true;
    }

    void pageBoxGivesWayToClosing()
    {
        QFETCH(bool, quit);
        QPointer<Form1> opener = openWindow(m_server.url("plain"));
        QVERIFY(opener);
        m_prompt.reset();
        // The box runs a loop of its own, which may begin before the pop-up
        // is found: the teacher acts from inside it. A box the action left
        // up is answered after a while, so that the test goes on to fail.
        QPointer<Form1> boxed;
        QElapsedTimer acted;
        QTimer teacher;
        connect(&teacher, &QTimer::timeout, [&] {
            for (Form1 *window : OpenWindows()) {
                auto *box = window->findChild<QMessageBox *>();
                if (window == opener || !box || !box->isVisible())
                    continue;
                if (acted.isValid()) {
                    if (acted.elapsed() > PatienceMs)
                        box->accept();
                    continue;
                }
                acted.start();
                boxed = window;
                // Through the window, as the platform delivers a click.
                if (quit)
                    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                                      window->Command9->geometry().center());
                else // what a window manager sends for the X
                    QWindowSystemInterface::handleCloseEvent<
                        QWindowSystemInterface::SynchronousDelivery>(window->windowHandle());
            }
        });
        teacher.start(20);
        QVERIFY(popupOf(opener, "w = window.open('pop?"
                                    + QUrl::toPercentEncoding("alert('請先儲存')") + "')"));
        QTRY_VERIFY_WITH_TIMEOUT(acted.isValid() && boxed.isNull(), PatienceMs);
        QTRY_COMPARE_WITH_TIMEOUT(opener.isNull(), quit, PatienceMs);
    }

private:
    // A new active window, m_window, showing url, with the focus in the page.
    bool open(const QUrl &url)
    {
        m_window = openWindow(url);
        if (!m_window)
            return false;
        m_window->activateWindow();
        m_window->WB1->setFocus();
        return QTest::qWaitForWindowActive(m_window);
    }

    QString pageText() { return evaluate(m_window->WB1, "window.r?.textContent ?? ''").toString(); }

    QTemporaryDir m_home;
    QTemporaryDir m_keys;
    QSslConfiguration m_trusted;
    bool m_canTrust = false;
    SettingsFolder m_folder;
    std::optional<ScriptedPrompt> m_prompt;
    LocalServer m_server{&answer};
    std::optional<LocalServer> m_untrusted; // its own test root, which nothing trusts
    Form1 *m_window = nullptr;
};

GRADECAST_GUI_TEST_MAIN(SchoolSessionTest)
#include "tst_school_session.moc"
