// A school root put into the user's NSS database with certutil is trusted by
// the engine: the school's page opens without a question. The engine reads
// the database under $HOME once, as it starts, so this test is a program of
// its own that sets HOME before the first window.

#include "app/form1.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/local_server.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

using namespace gradecast;

class TrustedCertificateTest : public QObject
{
    Q_OBJECT
private slots:
    void trustedRootOpensWithoutAQuestion();
};

void TrustedCertificateTest::trustedRootOpensWithoutAQuestion()
{
    QTemporaryDir home;
    const QSslConfiguration tls = MakeTestCertificates(home.path());
    QVERIFY(!tls.isNull());
    // As the README tells the teacher.
    QVERIFY(QDir().mkpath(home.filePath(QStringLiteral(".pki/nssdb"))));
    const QString nss = QStringLiteral("sql:") + home.filePath(QStringLiteral(".pki/nssdb"));
    QCOMPARE(QProcess::execute("certutil", {"-d", nss, "-A", "-t", "C,,", "-n", "school-root",
                                            "-i", home.filePath(QStringLiteral("ca.crt"))}),
             0);
    qputenv("HOME", QFile::encodeName(home.path()));

    SettingsFolder folder;
    ScriptedPrompt prompt;
    LocalServer https(
        [](const QByteArray &) {
            return HttpReply{httpResponse("200 OK", "Content-Type: text/html\r\n", "trusted")};
        },
        tls);
    const auto window = std::make_unique<Form1>();
    window->show();
    const QUrl page = https.url(QStringLiteral("sheet"));
    window->WB1->load(page);
    QVERIFY(waitForPage(window->WB1, page));
    QCOMPARE(evaluate(window->WB1, QStringLiteral("document.body.textContent")).toString(),
             QStringLiteral("trusted"));
    QCOMPARE(prompt.shown().size(), 0);
}

GRADECAST_GUI_TEST_MAIN(TrustedCertificateTest)
#include "tst_trusted_certificate.moc"
