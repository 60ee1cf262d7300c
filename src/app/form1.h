#pragma once

#include "app/window_closing.h"
#include "layout/layout.h"
#include "settings/settings_record.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace gradecast {

class ClickableLabel;
class FillRun;
class InputLock;
class WebBrowser;

// The program's window: the browser on the left, the browser buttons and the
// address box across the top, the score column down the right. Every window
// is complete and independent; windows share only the settings file.
//
// The handlers are defined in the folder of the part of the program they
// belong to: settings/, entry/, browser/ and app/.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    // Creates the window with its controls and runs its start-up. A window
    // deletes itself when it closes.
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    const SettingsRecord &settings() const { return m_settings; }
    // True while a fill run holds the window against the user's input.
    bool isLocked() const;
    // The score box's text with its lines joined by CR LF.
    std::u16string scoreText() const;

    // Controls, by the names the handlers use.
    QPushButton *Command1;
    QPushButton *Command2;
    QPushButton *Command3;
    QPushButton *Command4;
    QPushButton *Command5;
    QPushButton *Command6;
    QPushButton *Command7;
    QPushButton *Command8;
    QPushButton *Command9;
    QLineEdit *Text1;
    QPlainTextEdit *Text2;
    QLineEdit *Text3;
    QLineEdit *Text4;
    QCheckBox *Check1;
    QCheckBox *Check4;
    QLabel *Label1;
    ClickableLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    WebBrowser *WB1;

    // Start-up and layout (app/).
    void Form_Load();
    void Form_Resize();

    // Settings (settings/).
    void Text1_Change();
    void Check1_Click();
    void Check4_Click();
    void Text3_Change();
    void Text4_Change();
    void Command2_Click();

    // Fill run and the score box (entry/).
    void Command3_Click();
    void Label2_Click();
    // A spreadsheet file into the score box: read, its columns chosen in a
    // dialog; a file that cannot be read is told and changes nothing. Not
    // while a fill runs (app/sheet_open.cpp).
    void openSpreadsheet(const QString &file);
    void chooseSpreadsheet();

    // Quitting and closing (app/).
    void Command9_Click();
    // Something that bears on the window's close happened: the window's close
    // state takes its step and the window does what the step asks. True when
    // the window goes (only a Close can make it go).
    bool closing(CloseEvent event);

    // Navigation (browser/).
    void Command1_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();

    // Browser events (browser/).
    void WB1_NewWindow2(gradecast::WebBrowser **ppDisp, bool *Cancel);
    void WB1_NavigateComplete2();
    void WB1_WindowClosing();
    void WB1_CloseRefused();

signals:
    // For the program's end, the page has let the window go.
    void pageLetGo();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class FillRun;

    void createControls();
    void connectHandlers();
    void arrangeTabOrder();
    void equipScoreBox();
    void recordBrowserPlacement();
    // Drops the last count line breaks of the score box, in place: a big
    // paste is not laid out again.
    void removeTrailingLineBreaks(std::size_t count);
    // Holds the window and the fifteen controls of a fill run against the
    // user, or lets them go (app/fill_run.cpp).
    void holdForFill(bool held);

    SettingsRecord m_settings;
    BrowserPlacement m_browserPlacement; // where the last layout put the browser, in twips
    InputLock *m_inputLock;
    CloseState m_closing;
    // How long the page has to answer whether it may be left.
    QTimer *m_pageAnswer;
};

} // namespace gradecast
