#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>

class QWebEngineView;

namespace gradecast {

class Form1;

// A page of tests/pages as a file address, with its query if any ("fields.html?n=3").
QUrl testPage(const QString &name);

// Runs script in the view's page and waits for its value; an invalid QVariant
// when no answer came in time.
QVariant evaluate(QWebEngineView *view, const QString &script, int timeoutMs = 30000);

// Waits until the view shows url with its document loaded.
bool waitForPage(QWebEngineView *view, const QUrl &url, int timeoutMs = 30000);

// A new window, shown, once it shows url; nullptr when it did not.
Form1 *openWindow(const QUrl &url);

// Runs script in the opener's page and returns the window it opens, once one
// opens; nullptr when none does.
Form1 *popupOf(Form1 *opener, const QString &script);

// Clicks with the mouse, as the teacher does, into the page's score field
// number (the page's scoreField(number), through its frames), and waits
// until the page has given that field the focus. False when it did not.
bool clickScoreField(QWebEngineView *view, int number, int timeoutMs = 30000);

} // namespace gradecast
