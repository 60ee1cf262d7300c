#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

class QWebEngineView;

namespace gradecast {

class Form1;

// How long a test waits for what comes at once or soon (a page's answer or load, a
// window that goes): a test whose event does not come fails within seconds.
inline constexpr int PatienceMs = 5000;

// Runs events in short rounds of a real event loop until done, told the time left,
// holds; false when timeoutMs ran out first. QTest's waits sleep between rounds,
// which starves the engine, and a loop that runs on inside a dialog may hold the
// engine's work back until it ends.
[[nodiscard]] bool pollUntil(const std::function<bool(int leftMs)> &done,
                             int timeoutMs = PatienceMs);

// A page of tests/pages as a file address, with its query if any ("fields.html?n=3").
QUrl testPage(const QString &name);

// Runs script in the view's page and waits for its value; an invalid QVariant
// when no answer came in time, so a script run for what it does ends with a value.
[[nodiscard]] QVariant evaluate(QWebEngineView *view, const QString &script,
                                int timeoutMs = PatienceMs);

// Waits until the view shows url with its document loaded.
[[nodiscard]] bool waitForPage(QWebEngineView *view, const QUrl &url, int timeoutMs = PatienceMs);

// A new window, shown, once it shows url; nullptr when it did not.
[[nodiscard]] Form1 *openWindow(const QUrl &url);

// Runs script in the opener's page and returns the window it opens, once one
// opens; nullptr when the page did not answer or none opened.
[[nodiscard]] Form1 *popupOf(Form1 *opener, const QString &script);

// Clicks with the mouse, as the teacher does, into the page's score field
// number (the page's scoreField(number), through its frames), and waits
// until the page has given that field the focus. False when it did not.
[[nodiscard]] bool clickScoreField(QWebEngineView *view, int number, int timeoutMs = PatienceMs);

} // namespace gradecast
