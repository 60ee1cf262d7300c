// The school system beyond the score page on local servers and the real engine:
// certificates, downloads, printing, sign-in, zoom and Qt's own dialogs in Chinese.

#include "app/form1.h"
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

using namespace gradecast;

const QByteArray Csv = "座號,成績\r\n1,95\r\n2,缺考\r\n";
const QString Sheet = QStringLiteral("第一次段考成績單 Score sheet");

// export: a file; cut: one the server breaks off; slow: one that never ends;
// named?<disposition>: a file named so; sheet?<charset>: the sheet in that encoding.
static HttpReply answer(const QByteArray &head)
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
    return {"200 OK", html, "<p id=r>" + (path == "/signin" ? "歡迎 teacher" : Sheet).toUtf8()};
}

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
        m_prompt.emplace();
    }

    void cleanup()
    {
        SetSaveFileChooser({});
        SetPrintDialogRunner({});
        SetSignInAsker({});
        qDeleteAll(OpenWindows());
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
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 30000);
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
        evaluate(m_window->WB1, "var a = document.createElement('a'); a.href = 'export';"
                                "a.download = ''; document.body.append(a); a.click()");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(keys.filePath("成績.csv")), 30000);
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

        QTRY_COMPARE_WITH_TIMEOUT(offered.value(0), target, 30000);
        if (path == "slow") {
            QProgressDialog *progress = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((progress = m_window->findChild<QProgressDialog *>())
                                         && progress->isVisible(), 30000);
            QCOMPARE(content(), QByteArray("old"));
            QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_prompt->shown().size(), told.isEmpty() ? 0 : 1, 30000);
        QVERIFY(m_prompt->shown().value(0).text.contains(told));
        QTRY_COMPARE_WITH_TIMEOUT(content(), save && told.isEmpty() ? Csv : "old", 30000);
        // Nothing else is left (the engine removes a cancelled part in its own time).
        QTRY_COMPARE_WITH_TIMEOUT(folder.entryList(QDir::Files | QDir::Hidden), QStringList{saved},
                                  30000);
        // The engine's own tries after a broken transfer ask nothing.
        QCOMPARE(offered.size(), 1);
    }

    void printsThePage_data()
    {
        QTest::addColumn<bool>("fromScript");
        QTest::addColumn<bool>("closeWindow");
        QTest::newRow("window.print()") << true << false;
        QTest::newRow("Ctrl+P") << false << false;
        // The engine crashed when the page went in the middle of a print.
        QTest::newRow("window closed while printing") << true << true;
    }

    void printsThePage()
    {
        QFETCH(bool, fromScript);
        QFETCH(bool, closeWindow);
        QVERIFY(open(m_server.url("sheet")));
        const QString pdf = m_home.filePath(QTest::currentDataTag() + QString(".pdf"));
        const auto request = [&] {
            QWidget *page = m_window->WB1->focusProxy();
            fromScript ? void(evaluate(m_window->WB1, "window.print()"))
                       : QTest::keyClick(page, Qt::Key_P, Qt::ControlModifier);
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
            return pdftotext.waitForFinished(30000)
                ? QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified() : QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(pdfText(), Sheet, 30000);
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

        // The zoom stays while the window navigates, and the fill types the same.
        m_window->WB1->setZoomFactor(1.25);
        const QUrl fields(testPage("fields.html").toString() + "?n=2");
        m_window->WB1->load(fields);
        QVERIFY(waitForPage(m_window->WB1, fields));
        QCOMPARE(evaluate(m_window->WB1, "window.devicePixelRatio").toDouble(), 1.25);

        QVERIFY(clickScoreField(m_window->WB1, 1));
        m_window->Check1->setChecked(true);
        m_window->Text2->setPlainText("95\n100");
        m_prompt->answer(QMessageBox::Yes);
        QTest::mouseClick(m_window->Command3, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_window->WB1, "values()").toStringList(),
                                  QStringList({" 95", " 100"}), 30000);
    }

    // The page's alert, answered as the teacher would: its own title, its text
    // as plain text and Qt's standard button in Chinese.
    void dialogsInChinese()
    {
        QVERIFY(open(m_server.url("sheet")));
        QStringList seen;
        QTimer reader;
        reader.callOnTimeout([&] {
            if (auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen << alert->windowTitle() << alert->text() << alert->buttons().first()->text();
                alert->accept();
            }
        });
        reader.start(20);
        // The real box this time, not the test's answers.
        const PromptHandler answers = SetPromptHandler({});
        evaluate(m_window->WB1, "alert('<b>請確認</b>')");
        SetPromptHandler(answers);
        QCOMPARE(seen, QStringList({"網頁訊息 - 127.0.0.1", "<b>請確認</b>", "確定"}));
    }

private:
    // A new active window, m_window, showing url if any, with the focus in the page.
    bool open(const QUrl &url)
    {
        m_window = new Form1;
        m_window->show();
        m_window->activateWindow();
        m_window->WB1->load(url);
        const bool shown = QTest::qWaitForWindowActive(m_window)
            && (url.isEmpty() || waitForPage(m_window->WB1, url));
        m_window->WB1->setFocus();
        return shown;
    }

    QString pageText() { return evaluate(m_window->WB1, "window.r?.textContent ?? ''").toString(); }

    QTemporaryDir m_home;
    QSslConfiguration m_trusted;
    bool m_canTrust = false;
    SettingsFolder m_folder;
    std::optional<ScriptedPrompt> m_prompt;
    LocalServer m_server{&answer};
    Form1 *m_window = nullptr;
};

GRADECAST_GUI_TEST_MAIN(SchoolSessionTest)
#include "tst_school_session.moc"
