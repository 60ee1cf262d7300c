// The settings of a window: how its boxes change them and how the save button
// writes them to the settings file, which all the windows share. How the file
// is written is the store's, tested with it.

#include "app/form1.h"
#include "support/gui_test_main.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace gradecast;

namespace {

QStringList folderEntries(const std::filesystem::path &folder)
{
    return QDir(QString::fromStdString(folder.string()))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class SettingsSaveTest : public QObject
{
    Q_OBJECT
private slots:
    void boxesChangeTheRecord();
    void saveAsksThenWrites_data();
    void saveAsksThenWrites();
};

void SettingsSaveTest::boxesChangeTheRecord()
{
    SettingsFolder folder;
    Form1 window;
    const auto boxesAndFlags = [&] {
        return QList<int>{window.Check1->isChecked(), window.Check4->isChecked(),
                          window.settings().UseTab, window.settings().UseEnter};
    };
    window.Check1->click();
    QCOMPARE(boxesAndFlags(), (QList<int>{true, false, 1, 0}));
    window.Check4->click();
    QCOMPARE(boxesAndFlags(), (QList<int>{false, true, 0, 1}));
    // Clearing a box by hand records nothing and ticks nothing.
    window.Check1->click();
    window.Check1->click();
    QCOMPARE(boxesAndFlags(), (QList<int>{false, false, 1, 0}));

    // The replacement texts lose their blanks, but not a tab or a full-width
    // space; the boxes go on showing what was typed.
    const QString typed = QStringLiteral(" \tA\u3000 ");
    window.Text3->setText(typed);
    window.Text4->setText(typed);
    QCOMPARE(QString::fromStdU16String(window.settings().Score100Text), typed.mid(1, 3));
    QCOMPARE(QString::fromStdU16String(window.settings().AbsentText), typed.mid(1, 3));
    QCOMPARE(window.Text3->text() + window.Text4->text(), typed + typed);
}

void SettingsSaveTest::saveAsksThenWrites_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QByteArray>("ini");
    // The separator box clicked, if any: "1" is Check1, "4" is Check4.
    QTest::addColumn<QString>("click");
    QTest::addColumn<QByteArray>("saved");
    // A folder where the file should be: nothing can replace it, and a second
    // box says so.
    QTest::addColumn<bool>("fileIsAFolder");

    // Big5: 缺 is AF CA.
    QTest::newRow("new file, every box in its key")
        << QMessageBox::Yes << QByteArray() << "4"
        << QByteArray("[GRADECAST]\r\nURL=http://school.example/score?x=1 \r\nUSEENTER=1\r\n"
                      "USETAB=0\r\nABSENT=\xAF\xCA\r\nSCORE100=A\r\n")
        << false;
    QTest::newRow("flag of -1 untouched is written back")
        << QMessageBox::Yes << QByteArray("[GRADECAST]\r\nUSETAB=-1\r\n") << ""
        << QByteArray("[GRADECAST]\r\nUSETAB=-1\r\nURL=http://school.example/score?x=1 \r\n"
                      "USEENTER=0\r\nABSENT=\xAF\xCA\r\nSCORE100=A\r\n")
        << false;
    QTest::newRow("No writes nothing")
        << QMessageBox::No << QByteArray() << "4" << QByteArray() << false;
    QTest::newRow("failed save is reported")
        << QMessageBox::Yes << QByteArray() << "4" << QByteArray() << true;
}

void SettingsSaveTest::saveAsksThenWrites()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QByteArray, ini);
    QFETCH(QString, click);
    QFETCH(QByteArray, saved);
    QFETCH(bool, fileIsAFolder);

    SettingsFolder folder;
    const QString file = QString::fromStdString(folder.file().string());
    if (!ini.isNull())
        folder.write(ini);
    if (fileIsAFolder)
        QVERIFY(QDir().mkdir(file));
    ScriptedPrompt prompt;
    prompt.answer(answer);
    prompt.answer(QMessageBox::Ok);
    Form1 window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString address = QStringLiteral("http://school.example/score?x=1 ");
    window.Text1->setText(address);
    if (!click.isEmpty())
        (click == u"1" ? window.Check1 : window.Check4)->click();
    window.Text3->setText(QStringLiteral(" A "));
    window.Text4->setText(QStringLiteral("缺"));

    QTest::mouseClick(window.Command2, Qt::LeftButton);

    // One question; after a failed save one report, and nothing more.
    QCOMPARE(prompt.shown().size(), fileIsAFolder ? 2 : 1);
    const PromptRequest &question = prompt.shown().first();
    QCOMPARE(question.text, QStringLiteral("確定要將目前設定的校務行政網址,使用Tab,使用Enter,"
                                           "100分使用,缺考使用...等參數儲存?"));
    QCOMPARE(question.icon, QMessageBox::Critical);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.defaultButton, QMessageBox::Yes);
    QCOMPARE(question.title, window.windowTitle());
    QCOMPARE(question.parent, &window);
    if (fileIsAFolder) {
        const PromptRequest &report = prompt.shown().at(1);
        QCOMPARE(report.icon, QMessageBox::Critical);
        QCOMPARE(report.title, window.windowTitle());
        QVERIFY2(report.text.contains(file), qPrintable(report.text));
        QVERIFY2(report.text.contains(QString::fromLocal8Bit(std::strerror(EISDIR))),
                 qPrintable(report.text));
        QVERIFY(folderEntries(folder.file()).isEmpty());
    }
    QCOMPARE(folder.read(), saved);
    QCOMPARE(folderEntries(folder.folder()), saved.isNull() && !fileIsAFolder
                                                 ? QStringList()
                                                 : QStringList{QStringLiteral("GRADECAST.INI")});
    // The window keeps its settings, saved or not.
    QCOMPARE(QString::fromStdU16String(window.settings().SchoolUrl), address);
    QCOMPARE(QString::fromStdU16String(window.settings().Score100Text), QStringLiteral("A"));
}

GRADECAST_GUI_TEST_MAIN(SettingsSaveTest)
#include "tst_settings_save.moc"
