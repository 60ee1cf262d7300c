// The settings of a window: how its boxes change them and how the save button
// writes them to the settings file, which is all the windows share.

#include "app/form1.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
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

const QString SaveQuestion = QStringLiteral("確定要將目前設定的校務行政網址,使用Tab,使用Enter,"
                                            "100分使用,缺考使用...等參數儲存?");

QString text(const std::u16string &value)
{
    return QString::fromStdU16String(value);
}

QStringList folderEntries(const SettingsFolder &folder)
{
    return QDir(QString::fromStdString(folder.folder().string()))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// The record as one comparable value, fields in file order.
QStringList fields(const SettingsRecord &record)
{
    return {text(record.SchoolUrl),          QString::number(record.UseEnter),
            QString::number(record.UseTab),   text(record.AbsentText),
            text(record.Score100Text),        QString::number(record.DecimalPlaces)};
}

} // namespace

class SettingsSaveTest : public QObject
{
    Q_OBJECT
private slots:
    void tickingOneBoxClearsTheOther();
    void replacementTextsAreTrimmed();
    void answerNoWritesNothing();
    void saveWritesTheFile_data();
    void saveWritesTheFile();
    void failedSaveIsReported();
    void newWindowReadsWhatWasSaved();
};

void SettingsSaveTest::tickingOneBoxClearsTheOther()
{
    SettingsFolder folder;
    Form1 window;

    window.Check1->click();
    QVERIFY(window.Check1->isChecked());
    QCOMPARE(int(window.settings().UseTab), 1);
    QCOMPARE(int(window.settings().UseEnter), 0);

    window.Check4->click();
    QVERIFY(window.Check4->isChecked());
    QVERIFY(!window.Check1->isChecked());
    QCOMPARE(int(window.settings().UseTab), 0);
    QCOMPARE(int(window.settings().UseEnter), 1);

    // Clearing a box by hand records nothing and ticks nothing.
    window.Check1->click();
    window.Check1->click();
    QVERIFY(!window.Check1->isChecked());
    QVERIFY(!window.Check4->isChecked());
    QCOMPARE(int(window.settings().UseTab), 1);
    QCOMPARE(int(window.settings().UseEnter), 0);
}

void SettingsSaveTest::replacementTextsAreTrimmed()
{
    // Only the blanks go; a tab and a full-width space stay.
    const QString typed = QStringLiteral(" \tA\u3000 ");
    const QString kept = QStringLiteral("\tA\u3000");
    SettingsFolder folder;
    Form1 window;
    window.Text3->setText(typed);
    window.Text4->setText(typed);

    QCOMPARE(text(window.settings().Score100Text), kept);
    QCOMPARE(text(window.settings().AbsentText), kept);
    // The boxes go on showing what was typed.
    QCOMPARE(window.Text3->text(), typed);
    QCOMPARE(window.Text4->text(), typed);
}

void SettingsSaveTest::answerNoWritesNothing()
{
    SettingsFolder folder;
    ScriptedPrompt prompt;
    prompt.answer(QMessageBox::No);
    Form1 window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.Text3->setText(QStringLiteral("A"));

    QTest::mouseClick(window.Command2, Qt::LeftButton);

    QCOMPARE(prompt.shown().size(), 1);
    const PromptRequest &question = prompt.shown().first();
    QCOMPARE(question.text, SaveQuestion);
    QCOMPARE(question.icon, QMessageBox::Critical);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.defaultButton, QMessageBox::Yes);
    QCOMPARE(question.title, window.windowTitle());
    QCOMPARE(question.parent, &window);
    QVERIFY(folderEntries(folder).isEmpty());
}

void SettingsSaveTest::saveWritesTheFile_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("address");
    // The separator boxes clicked, in order: "1" is Check1, "4" is Check4.
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("score100");
    QTest::addColumn<QString>("absent");
    QTest::addColumn<QByteArray>("saved");

    // Big5: 缺 is AF CA.
    QTest::newRow("new file, keys in order")
        << QByteArray() << "http://school.example/score?x=1 " << "4" << " A " << "缺"
        << QByteArray("[GRADECAST]\r\nURL=http://school.example/score?x=1 \r\nUSEENTER=1\r\n"
                      "USETAB=0\r\nABSENT=\xAF\xCA\r\nSCORE100=A\r\n");
    QTest::newRow("flag of -1 untouched is written back")
        << QByteArray("[GRADECAST]\r\nUSETAB=-1\r\n") << "" << "" << "" << ""
        << QByteArray("[GRADECAST]\r\nUSETAB=-1\r\nURL=\r\nUSEENTER=0\r\nABSENT=\r\nSCORE100=\r\n");
}

void SettingsSaveTest::saveWritesTheFile()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, address);
    QFETCH(QString, clicks);
    QFETCH(QString, score100);
    QFETCH(QString, absent);
    QFETCH(QByteArray, saved);

    SettingsFolder folder;
    if (!ini.isNull())
        folder.write(ini);
    ScriptedPrompt prompt;
    prompt.answer(QMessageBox::Yes);
    Form1 window;

    window.Text1->setText(address);
    for (QChar box : clicks)
        (box == u'1' ? window.Check1 : window.Check4)->click();
    window.Text3->setText(score100);
    window.Text4->setText(absent);
    window.Command2->click();

    QCOMPARE(folder.read(), saved);
    QCOMPARE(folderEntries(folder), QStringList{QStringLiteral("GRADECAST.INI")});
    // One question, and nothing more once the save has worked.
    QCOMPARE(prompt.shown().size(), 1);
    QCOMPARE(prompt.unanswered(), 0);
}

void SettingsSaveTest::failedSaveIsReported()
{
    SettingsFolder folder;
    // A folder where the file should be: nothing can replace it.
    QVERIFY(QDir().mkdir(QString::fromStdString(folder.file().string())));
    ScriptedPrompt prompt;
    prompt.answer(QMessageBox::Yes);
    prompt.answer(QMessageBox::Ok);
    Form1 window;
    window.Text1->setText(QStringLiteral("http://school.example/"));
    window.Check4->click();
    window.Text3->setText(QStringLiteral("A"));
    const QStringList record = fields(window.settings());
    const QStringList entries = folderEntries(folder);

    window.Command2->click();

    QCOMPARE(prompt.shown().size(), 2);
    const PromptRequest &report = prompt.shown().at(1);
    QCOMPARE(report.icon, QMessageBox::Critical);
    QCOMPARE(report.title, window.windowTitle());
    QVERIFY2(report.text.contains(QString::fromStdString(folder.file().string())),
             qPrintable(report.text));
    QVERIFY2(report.text.contains(QString::fromLocal8Bit(std::strerror(EISDIR))),
             qPrintable(report.text));
    QCOMPARE(fields(window.settings()), record);
    QCOMPARE(folderEntries(folder), entries);
    QVERIFY(QDir(QString::fromStdString(folder.file().string()))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                .isEmpty());
}

void SettingsSaveTest::newWindowReadsWhatWasSaved()
{
    SettingsFolder folder;
    ScriptedPrompt prompt;
    prompt.answer(QMessageBox::Yes);
    const QString plain = testPage(QStringLiteral("plain.html")).toString();

    Form1 first;
    first.Text1->setText(plain);
    first.Check4->click();
    first.Text3->setText(QStringLiteral("A"));
    first.Command2->click();
    // Changed after the save, never saved.
    first.Check1->click();
    first.Text4->setText(QStringLiteral("缺"));
    first.Text1->setText(QStringLiteral("http://unsaved.example/"));

    Form1 second;
    QCOMPARE(second.Text1->text(), plain);
    QVERIFY(second.Check4->isChecked());
    QVERIFY(!second.Check1->isChecked());
    QCOMPARE(second.Text3->text(), QStringLiteral("A"));
    QCOMPARE(second.Text4->text(), QString());
    QCOMPARE(fields(second.settings()),
             (QStringList{plain, "1", "0", "", "A", "0"}));
    // The first window keeps its own changes.
    QCOMPARE(text(first.settings().AbsentText), QStringLiteral("缺"));
    QCOMPARE(int(first.settings().UseTab), 1);
}

GRADECAST_GUI_TEST_MAIN(SettingsSaveTest)
#include "tst_settings_save.moc"
