#include "app/form1.h"

#include "app/clickable_label.h"
#include "platform/input_lock.h"
#include "app/windows.h"
#include "browser/browser_features.h"
#include "browser/printing.h"
#include "app/twips.h"
#include "platform/freed_memory.h"
#include "platform/web_browser.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmapCache>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace gradecast {

namespace {

const QColor WindowBackground(255, 255, 192);
const QColor ShapeBlue(0, 0, 255);
const QColor CaptionRed(255, 0, 0);
const QColor ClearLabelGreen(0, 255, 0);

// The strip of blue behind the browser buttons, in twips.
constexpr int ShapeWidth = 10215;
constexpr int ShapeHeight = 915;

// The window's inner size when it is created, in twips.
constexpr int InitialWidth = 11880;
constexpr int InitialHeight = 8490;

QFont chineseFont(int pixelSize, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("新細明體"), QStringLiteral("PMingLiU"),
                      QStringLiteral("AR PL UMing TW"), QStringLiteral("Noto Serif CJK TC")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// The designed sizes: 11.25 pt, 12 pt, 9.75 pt and 9 pt at 96 dots per inch.
constexpr int ButtonFontPixels = 15;
constexpr int ScoreBoxFontPixels = 16;
constexpr int ClearLabelFontPixels = 13;
constexpr int SmallLabelFontPixels = 12;
constexpr int WindowFontPixels = 12;

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

void setBackground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent)
    , m_inputLock(new InputLock(this))
    , m_pageAnswer(new QTimer(this))
{
    m_pageAnswer->setSingleShot(true);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Gradecast 成績填入 "));
    setWindowIcon(QIcon(QStringLiteral(":/gradecast.png")));
    setBackground(this, WindowBackground);
    setFont(chineseFont(WindowFontPixels));
    resize(pixelsFromTwips(InitialWidth), pixelsFromTwips(InitialHeight));

    RegisterWindow(this);
    createControls();
    // Loads that complete before the first layout put the browser where the
    // window was designed to have it.
    recordBrowserPlacement();
    arrangeTabOrder();
    connectHandlers();
    equipScoreBox();
    Form_Load();
}

Form1::~Form1()
{
    KeepUntilPrinted(WB1);
    // Qt keeps the images its style draws for the buttons, and the window's
    // icon, in one cache for the program, under keys of this window's own (its
    // palette, its icon): a closed window's images stayed there unused, about
    // 90 KiB a pop-up, until the cache's 10 MiB were full. The windows still
    // open draw theirs again.
    QPixmapCache::clear();
    ReturnFreedMemorySoon();
}

// The controls the layout moves start where the layout's definition puts
// them; the others stay where the window was designed to have them.
void Form1::createControls()
{
    const LayoutControls designed = DefinitionControls();
    const auto button = [this](const QString &text, const TwipsRect &where) {
        auto *b = new QPushButton(text, this);
        b->setFont(chineseFont(ButtonFontPixels));
        b->setAutoDefault(false);
        placeAt(b, where);
        return b;
    };
    Command4 = button(QStringLiteral("上一頁"), {60, 60, 1095, 375});
    Command5 = button(QStringLiteral("下一頁"), {1200, 60, 1095, 375});
    Command7 = button(QStringLiteral("重新整理"), {2340, 60, 1155, 375});
    Command1 = button(QStringLiteral("校務行政"), {3900, 60, 1395, 375});
    Command6 = button(QStringLiteral("瀏覽器首頁"), {5340, 60, 1395, 375});
    Command2 = button(QStringLiteral("儲存設定參數"), {7080, 60, 1635, 375});
    Command9 = button(QStringLiteral("結束離開"), {8760, 60, 1395, 375});
    // The teacher may end the program while a page waits for an answer.
    InputLock::letThroughWhenClosing(Command9);

    Label1 = new QLabel(QStringLiteral("網址"), this);
    Label1->setFont(chineseFont(ButtonFontPixels));
    setTextColor(Label1, CaptionRed);
    placeAt(Label1, {60, 540, 495, 315});

    Text1 = new QLineEdit(this);
    Text1->setFont(chineseFont(ButtonFontPixels));
    placeAt(Text1, {600, 480, 8115, 375});

    Command8 = button(QStringLiteral("Go"), {8760, 480, 1395, 375});

    WB1 = new WebBrowser(this);
    placeAt(WB1, designed.WB1);
    EquipBrowser(WB1);

    const auto checkBox = [this](const QString &text, const TwipsRect &where) {
        auto *box = new QCheckBox(text, this);
        setBackground(box, WindowBackground);
        placeAt(box, where);
        return box;
    };
    Check1 = checkBox(QStringLiteral("使用Tab"), designed.Check1);
    Check4 = checkBox(QStringLiteral("使用Enter"), designed.Check4);

    const auto smallLabel = [this](const QString &text, const TwipsRect &where) {
        auto *label = new QLabel(text, this);
        label->setFont(chineseFont(SmallLabelFontPixels, true));
        setTextColor(label, CaptionRed);
        placeAt(label, where);
        return label;
    };
    Label3 = smallLabel(QStringLiteral("100分使用"), designed.Label3);
    Text3 = new QLineEdit(this);
    placeAt(Text3, designed.Text3);
    Label4 = smallLabel(QStringLiteral("缺考使用"), designed.Label4);
    Text4 = new QLineEdit(this);
    placeAt(Text4, designed.Text4);

    Label2 = new ClickableLabel(QStringLiteral("貼成績於下方(按此清除)"), this);
    Label2->setFont(chineseFont(ClearLabelFontPixels));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);
    setBackground(Label2, ClearLabelGreen);
    placeAt(Label2, designed.Label2);

    Text2 = new QPlainTextEdit(this);
    Text2->setFont(chineseFont(ScoreBoxFontPixels));
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text2->setTabChangesFocus(true);
    placeAt(Text2, designed.Text2);

    Command3 = button(QStringLiteral("填入成績"), designed.Command3);
}

void Form1::arrangeTabOrder()
{
    const QList<QWidget *> order = {WB1,      Command1, Text2,    Command3, Command4, Command5,
                                    Command6, Command7, Text1,    Command8, Command9, Check1,
                                    Check4,   Text3,    Text4,    Command2};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    for (QLabel *label : {Label1, static_cast<QLabel *>(Label2), Label3, Label4})
        label->setFocusPolicy(Qt::NoFocus);
}

void Form1::connectHandlers()
{
    // A handler runs inside the statement that changed its control, also when
    // the program itself sets a box or a text: the controls live on this
    // thread, so the default connection calls the handler directly.
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Form1::Command9_Click);
    connect(Check1, &QCheckBox::stateChanged, this, &Form1::Check1_Click);
    connect(Check4, &QCheckBox::stateChanged, this, &Form1::Check4_Click);
    connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    // Return in the address box opens the address, as every browser's does.
    connect(Text1, &QLineEdit::returnPressed, this, &Form1::Command8_Click);
    connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
    connect(Text4, &QLineEdit::textChanged, this, &Form1::Text4_Change);
    connect(Label2, &ClickableLabel::clicked, this, &Form1::Label2_Click);
    // The handler answers through the signal's out-parameters: it must have
    // run before the signal returns.
    connect(WB1, &WebBrowser::NewWindow2, this, &Form1::WB1_NewWindow2, Qt::DirectConnection);
    connect(WB1, &WebBrowser::NavigateComplete2, this, &Form1::WB1_NavigateComplete2);
    connect(WB1, &WebBrowser::WindowClosing, this, &Form1::WB1_WindowClosing);
    connect(WB1, &WebBrowser::CloseRefused, this, &Form1::WB1_CloseRefused);
    connect(m_pageAnswer, &QTimer::timeout, this, [this] { closing(CloseEvent::PageSilent); });
}

bool Form1::isLocked() const
{
    return m_inputLock->isLocked();
}

void Form1::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(0, 0, pixelsFromTwips(ShapeWidth), pixelsFromTwips(ShapeHeight), ShapeBlue);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

} // namespace gradecast
