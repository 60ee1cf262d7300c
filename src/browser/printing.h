#pragma once

#include <functional>

class QPrinter;
class QWidget;

namespace gradecast {

class WebBrowser;

// Shows the print dialog for printer; true when the user chose to print.
// Tests replace it to answer the dialog.
using PrintDialogRunner = std::function<bool(QPrinter *printer, QWidget *parent)>;

// Replaces the print dialog (an empty runner restores it); returns the previous one.
PrintDialogRunner SetPrintDialogRunner(PrintDialogRunner runner);

// The page's window.print() and Ctrl + P print the page as the engine lays it
// out for print, after the print dialog. A request while one is printing is refused.
void EnablePrinting(WebBrowser *browser);

// For a window that goes: a browser still printing is taken out of it and
// lives on, hidden, until the engine has finished the print (the engine
// crashes when the page goes in the middle of one).
void KeepUntilPrinted(WebBrowser *browser);

} // namespace gradecast
