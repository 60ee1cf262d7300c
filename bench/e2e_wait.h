#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

class QWebEngineView;

namespace gradecast::bench {

// Runs the event loop, as the program's own loop runs it, until done() holds
// or timeoutMs have passed; returns done(). QTest::qWait and qWaitFor sleep
// between rounds of events, which starves the browser engine's tasks on this
// thread: after a burst of keys, the engine then needs seconds to catch up.
bool spinUntil(const std::function<bool()> &done, int timeoutMs);

// Runs the event loop for ms milliseconds.
void spinFor(int ms);

// Loads url into view and waits for its document.
bool loadPage(QWebEngineView *view, const QUrl &url, int timeoutMs = 30000);

} // namespace gradecast::bench
