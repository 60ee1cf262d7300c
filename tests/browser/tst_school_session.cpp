// The school system beyond the score page, on local servers and the real
// engine: certificate questions, downloads, printing, sign-in, zoom and
// Qt's own dialogs in Chinese.

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

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using namespace gradecast;

namespace {

const QByteArray Csv = "座號,成績\r\n1,95\r\n2,缺考\r\n";
const QByteArray Attachment =
    "Content-Type: text/csv\r\nContent-Disposition: attachment; filename=\"scores.csv\"; "
    "filename*=UTF-8''%E6%88%90%E7%B8%BE.csv\r\n";

HttpReply answer(const QByteArray &head)
{
    const QByteArray path = head.split(' ').value(1);
    const QByteArray html = "Content-Type: text/html; charset=utf-8\r\n";
    if (path == "/export")
        return {httpResponse("200 OK", Attachment, Csv)};
    if (path == "/cut")
        return {httpResponse("200 OK", Attachment, Csv, 1 << 20)};
    if (path == "/slow")
        return {httpResponse("200 OK", Attachment, Csv, 1 << 20), true};
    if (path == "/signin") {
        if (head.contains("Authorization: Basic " + QByteArray("teacher:s3cret").toBase64()))
            return {httpResponse("200 OK", html, "<p id=r>歡迎 teacher</p>")};
        return {httpResponse("401 Unauthorized",
                             html + "WWW-Authenticate: Basic realm=\"school\"\r\n",
                             "<p id=r>請先登入</p>")};
    }
    return {httpResponse("200 OK", html, "<p id=r>第一次段考成績單 Score sheet</p>")};
}

} // namespace

class SchoolSessionTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void untrustedCertificateAsks();
    void downloads_data();
    void downloads();
    void printsThePage_data();
    void printsThePage();
    void signIn_data();
    void signIn();
    void zoomSteps_data();
    void zoomSteps();
    void zoomStaysAndFillsTheSame();
    void dialogsInChinese();

private:
    Form1 *openWindow(const QUrl &url);
    // The text the page's element r shows.
    QString shownText(Form1 *window);

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<ScriptedPrompt> m_prompt;
    std::unique_ptr<LocalServer> m_server;
    QTemporaryDir m_files;
};

void SchoolSessionTest::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    m_prompt = std::make_unique<ScriptedPrompt>();
    m_server = std::make_unique<LocalServer>(&answer);
}

void SchoolSessionTest::cleanup()
{
    for (Form1 *window : OpenWindows())
        delete window;
    m_server.reset();
    m_prompt.reset();
    m_folder.reset();
}

Form1 *SchoolSessionTest::openWindow(const QUrl &url)
{
    auto *window = new Form1;
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return nullptr;
    window->WB1->load(url);
    if (!url.isEmpty() && !waitForPage(window->WB1, url))
        return nullptr;
    window->WB1->setFocus();
    return window;
}

QString SchoolSessionTest::shownText(Form1 *window)
{
    return evaluate(window->WB1, QStringLiteral("document.getElementById('r')?.textContent ?? ''"))
        .toString();
}

void SchoolSessionTest::untrustedCertificateAsks()
{
    QTemporaryDir keys;
    LocalServer https(&answer, MakeTestCertificates(keys.path()));
    const QUrl page = https.url(QStringLiteral("sheet"));
    Form1 *window = openWindow({});
    QVERIFY(window);
    QSignalSpy finished(window->WB1, &QWebEngineView::loadFinished);

    // Return on the question is No: the engine's error page stays.
    window->WB1->load(page);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 30000);
    QCOMPARE(finished.first().first().toBool(), false);
    QCOMPARE(m_prompt->shown().size(), 1);
    const PromptRequest question = m_prompt->shown().first();
    QCOMPARE(question.defaultButton, QMessageBox::No);
    QCOMPARE(question.icon, QMessageBox::Warning);
    QCOMPARE(question.title, window->windowTitle());
    QVERIFY(question.text.startsWith(QStringLiteral("127.0.0.1 ")));
    QVERIFY(question.text.contains(QStringLiteral("不是由系統信任的憑證機構所簽發")));
    QVERIFY(question.text.endsWith(QStringLiteral("仍要繼續前往此網站嗎? (不建議)")));
    QVERIFY(shownText(window).isEmpty());

    // Reloading asks again; Yes opens the page.
    m_prompt->answer(QMessageBox::Yes);
    window->WB1->Refresh();
    QVERIFY(waitForPage(window->WB1, page));
    QCOMPARE(shownText(window), QStringLiteral("第一次段考成績單 Score sheet"));
    QCOMPARE(m_prompt->shown().size(), 2);

    // Every window takes that certificate of that host from now on.
    QVERIFY(openWindow(page));
    // A link with a download attribute: the engine refuses the certificate
    // for it; the file still comes, under the server's name, as the name
    // offered was only the address's.
    const QString saved = m_files.filePath(QStringLiteral("成績.csv"));
    const SaveFileChooser previous = SetSaveFileChooser([&](QWidget *, const QString &offered) {
        return m_files.filePath(QFileInfo(offered).fileName());
    });
    evaluate(window->WB1, QStringLiteral("var a = document.createElement('a'); a.href = 'export';"
                                        "a.download = ''; document.body.append(a); a.click()"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saved), 30000);
    QCOMPARE(m_prompt->shown().size(), 2);
    SetSaveFileChooser(previous);
}

void SchoolSessionTest::downloads_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("told");
    QTest::newRow("saved whole under its Chinese name, over the old one")
        << "export" << true << "";
    QTest::newRow("cancelled in the save dialog") << "export" << false << "";
    QTest::newRow("cut off by the server") << "cut" << true << "沒有下載完成";
    QTest::newRow("cancelled while loading") << "slow" << true << "已取消下載";
}

void SchoolSessionTest::downloads()
{
    QFETCH(QString, path);
    QFETCH(bool, save);
    QFETCH(QString, told);
    const bool saved = save && told.isEmpty();
    QTemporaryDir folder;
    QString suggested;
    int asked = 0;
    const SaveFileChooser previous = SetSaveFileChooser([&](QWidget *, const QString &offered) {
        suggested = offered;
        ++asked;
        return save ? QDir(folder.path()).filePath(QFileInfo(offered).fileName()) : QString();
    });
    // The teacher saves over last term's export: it stays whole until the new one is.
    const QString target = QDir(folder.path()).filePath(QStringLiteral("成績.csv"));
    const auto content = [&] {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    Form1 *window = openWindow(m_server->url(QStringLiteral("sheet")));
    QVERIFY(window);
    window->WB1->load(m_server->url(path));

    QTRY_VERIFY_WITH_TIMEOUT(!suggested.isEmpty(), 30000);
    QCOMPARE(suggested,
             QDir(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation))
                 .filePath(QStringLiteral("成績.csv")));
    if (path == QStringLiteral("slow")) {
        QProgressDialog *progress = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((progress = window->findChild<QProgressDialog *>())
                                     && progress->isVisible(), 30000);
        QCOMPARE(content(), QByteArray("old"));
        QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
    }
    if (!told.isEmpty()) {
        QTRY_COMPARE_WITH_TIMEOUT(m_prompt->shown().size(), 1, 30000);
        QVERIFY(m_prompt->shown().first().text.contains(told));
    }
    QTRY_COMPARE_WITH_TIMEOUT(content(), saved ? Csv : QByteArray("old"), 30000);
    // Nothing else is left: the engine removes what it wrote of a cancelled
    // download in its own time.
    QTRY_COMPARE_WITH_TIMEOUT(QDir(folder.path()).entryList(QDir::Files),
                              QStringList{QStringLiteral("成績.csv")}, 30000);
    QCOMPARE(m_prompt->shown().isEmpty(), told.isEmpty());
    // The engine's own tries after a broken transfer ask nothing.
    QCOMPARE(asked, 1);
    SetSaveFileChooser(previous);
}

void SchoolSessionTest::printsThePage_data()
{
    QTest::addColumn<bool>("fromScript");
    QTest::newRow("window.print()") << true;
    QTest::newRow("Ctrl+P") << false;
}

void SchoolSessionTest::printsThePage()
{
    QFETCH(bool, fromScript);
    Form1 *window = openWindow(m_server->url(QStringLiteral("sheet")));
    QVERIFY(window);
    const QString pdf = m_files.filePath(QStringLiteral("sheet.pdf"));
    QFile::remove(pdf);
    const auto request = [&] {
        if (fromScript)
            evaluate(window->WB1, QStringLiteral("window.print()"));
        else
            QTest::keyClick(window->WB1->focusProxy(), Qt::Key_P, Qt::ControlModifier);
    };
    int dialogs = 0;
    const PrintDialogRunner previous = SetPrintDialogRunner([&](QPrinter *printer, QWidget *) {
        ++dialogs;
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        // A second request while this one prints is refused.
        QTimer::singleShot(0, window, request);
        return true;
    });
    request();

    const auto pdfText = [&] {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        pdftotext.waitForFinished(30000);
        return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    };
    QTRY_COMPARE_WITH_TIMEOUT(pdfText(), QStringLiteral("第一次段考成績單 Score sheet"), 30000);
    QCOMPARE(dialogs, 1);
    SetPrintDialogRunner(previous);
}

void SchoolSessionTest::signIn_data()
{
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QString>("shown");
    QTest::newRow("user name and password") << true << "歡迎 teacher";
    QTest::newRow("Cancel") << false << "請先登入";
}

void SchoolSessionTest::signIn()
{
    QFETCH(bool, answered);
    QFETCH(QString, shown);
    QStringList asked;
    const SignInAsker previous = SetSignInAsker([&](QWidget *, const SignInRequest &request) {
        asked << request.host + ' ' + request.realm + (request.proxy ? " proxy" : "");
        return answered ? std::optional<Credentials>({"teacher", "s3cret"}) : std::nullopt;
    });
    Form1 *window = openWindow(QUrl());
    QVERIFY(window);
    window->WB1->load(m_server->url(QStringLiteral("signin")));
    QTRY_COMPARE_WITH_TIMEOUT(shownText(window), shown, 30000);
    QCOMPARE(asked, QStringList{QStringLiteral("127.0.0.1 school")});
    SetSignInAsker(previous);
}

void SchoolSessionTest::zoomSteps_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<double>("expected");
    // key 0: Ctrl + wheel up, 1: Ctrl + wheel down.
    QTest::newRow("Ctrl+plus") << 1.0 << int(Qt::Key_Plus) << 1.1;
    QTest::newRow("Ctrl+=") << 1.0 << int(Qt::Key_Equal) << 1.1;
    QTest::newRow("Ctrl+minus") << 1.0 << int(Qt::Key_Minus) << 0.9;
    QTest::newRow("Ctrl+0") << 2.5 << int(Qt::Key_0) << 1.0;
    QTest::newRow("between steps") << 1.2 << int(Qt::Key_Plus) << 1.25;
    QTest::newRow("500 % is the most") << 5.0 << int(Qt::Key_Plus) << 5.0;
    QTest::newRow("25 % is the least") << 0.25 << int(Qt::Key_Minus) << 0.25;
    QTest::newRow("wheel up") << 1.0 << 0 << 1.1;
    QTest::newRow("wheel down") << 0.5 << 1 << 0.33;
}

void SchoolSessionTest::zoomSteps()
{
    QFETCH(double, start);
    QFETCH(int, key);
    QFETCH(double, expected);
    Form1 *window = openWindow(m_server->url(QStringLiteral("sheet")));
    QVERIFY(window);
    window->WB1->setZoomFactor(start);
    QWidget *page = window->WB1->focusProxy();
    if (key > 1) {
        QTest::keyClick(page, Qt::Key(key), Qt::ControlModifier);
    } else {
        const QPoint at = page->rect().center();
        QWheelEvent wheel(at, page->mapToGlobal(at), {}, {0, key == 0 ? 120 : -120},
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(page, &wheel);
    }
    QCOMPARE(window->WB1->zoomFactor(), expected);
}

void SchoolSessionTest::zoomStaysAndFillsTheSame()
{
    Form1 *window = openWindow(m_server->url(QStringLiteral("sheet")));
    QVERIFY(window);
    QTest::keyClick(window->WB1->focusProxy(), Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(window->WB1->focusProxy(), Qt::Key_Plus, Qt::ControlModifier);

    QUrl fields = testPage(QStringLiteral("fields.html"));
    fields.setQuery(QStringLiteral("n=3"));
    window->WB1->load(fields);
    QVERIFY(waitForPage(window->WB1, fields));
    QCOMPARE(window->WB1->zoomFactor(), 1.25);
    QCOMPARE(evaluate(window->WB1, QStringLiteral("window.devicePixelRatio")).toDouble(), 1.25);

    evaluate(window->WB1, QStringLiteral("document.getElementById('f1').focus()"));
    window->Check1->setChecked(true);
    window->Text2->setPlainText(QStringLiteral("95\n\n100"));
    window->Text4->setText(QStringLiteral("X"));
    m_prompt->answer(QMessageBox::Yes);
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(window->WB1, QStringLiteral("values()")).toStringList(),
                              QStringList({" 95", "X", " 100"}), 30000);
}

void SchoolSessionTest::dialogsInChinese()
{
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(QStringList({box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                          box.button(QMessageBox::Cancel)->text()}),
             QStringList({"是(&Y)", "否(&N)", "取消"}));

    // The page's own alert, answered as the teacher would.
    Form1 *window = openWindow(m_server->url(QStringLiteral("sheet")));
    QVERIFY(window);
    QStringList seen;
    QTimer reader;
    reader.callOnTimeout([&] {
        if (auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen << alert->windowTitle() << alert->text() << alert->buttons().first()->text();
            alert->accept();
        }
    });
    reader.start(20);
    evaluate(window->WB1, QStringLiteral("alert('<b>請確認</b>')"));
    QCOMPARE(seen, QStringList({"網頁訊息 - 127.0.0.1", "<b>請確認</b>", "確定"}));
}

GRADECAST_GUI_TEST_MAIN(SchoolSessionTest)
#include "tst_school_session.moc"
