#include "browser/printing.h"

#include "platform/dialog_hook.h"
#include "platform/prompt.h"
#include "platform/web_browser.h"
#include "platform/web_page.h"

#include <QApplication>
#include <QEventLoopLocker>
#include <QPrintDialog>
#include <QPrinter>
#include <QShortcut>

#include <memory>

namespace gradecast {

namespace {

bool runPrintDialog(QPrinter *printer, QWidget *parent)
{
    const WindowDialog open(parent, WindowDialog::Print);
    bool accepted = false;
    if (DialogHook<PrintDialogRunner>()) {
        accepted = DialogHook<PrintDialogRunner>()(printer, parent);
    } else {
        QPrintDialog dialog(printer, parent);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    return accepted && !open.windowClosing();
}

class PagePrinter : public QObject
{
    Q_OBJECT
public:
    // Takes the browser away from its window while a print is under way.
    bool keepUntilPrinted()
    {
        if (!m_printer)
            return false;
        m_orphaned = true;
        m_browser->setParent(nullptr);
        return true;
    }

    explicit PagePrinter(WebBrowser *browser)
        : QObject(browser)
        , m_browser(browser)
    {
        connect(browser, &QWebEngineView::printRequested, this, &PagePrinter::print);
        auto *shortcut = new QShortcut(QKeySequence::Print, browser);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, &PagePrinter::print);
        connect(browser, &QWebEngineView::printFinished, this, &PagePrinter::finished);
        connect(browser, &QWebEngineView::pdfPrintingFinished, this,
                [this](const QString &, bool success) { finished(success); });
    }

private:
    void print()
    {
        // The engine prints one document at a time, as a browser does.
        if (m_printer) {
            QApplication::beep();
            return;
        }
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!m_browser->webPage()->mayPrint()) {
            m_printer.reset();
            return;
        }
        const bool accepted = runPrintDialog(m_printer.get(), m_browser->window());
        m_browser->webPage()->printDialogEnded();
        if (!accepted) {
            m_printer.reset();
            return;
        }
        // The program does not end with its last window before the print is done.
        m_keepRunning = std::make_unique<QEventLoopLocker>();
        // A PDF file gets the engine's own PDF, whose text stays text; a
        // printer gets the pages drawn.
        if (m_printer->outputFormat() == QPrinter::PdfFormat)
            m_browser->printToPdf(m_printer->outputFileName(), m_printer->pageLayout(),
                                  m_printer->pageRanges());
        else
            m_browser->print(m_printer.get());
    }

    void finished(bool success)
    {
        if (!m_printer)
            return;
        m_printer.reset();
        m_keepRunning.reset();
        if (m_orphaned) {
            m_browser->deleteLater();
            return;
        }
        // A window closed, or closing, took its print with it: nothing to
        // tell, and no box on a window on its way out.
        if (!success && m_browser->isVisible() && !m_browser->webPage()->isClosing())
            Tell(m_browser->window(), QStringLiteral("這一頁沒有印出來：列印失敗。"),
                 QMessageBox::Warning);
    }

    WebBrowser *m_browser;
    std::unique_ptr<QPrinter> m_printer;
    bool m_orphaned = false;
    std::unique_ptr<QEventLoopLocker> m_keepRunning;
};

} // namespace

PrintDialogRunner SetPrintDialogRunner(PrintDialogRunner runner)
{
    return SetDialogHook(std::move(runner));
}

void EnablePrinting(WebBrowser *browser)
{
    new PagePrinter(browser);
}

void KeepUntilPrinted(WebBrowser *browser)
{
    if (auto *printer = browser->findChild<PagePrinter *>(QString(), Qt::FindDirectChildrenOnly))
        printer->keepUntilPrinted();
}

} // namespace gradecast

#include "printing.moc"
