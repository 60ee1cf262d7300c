#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>

class QWebEngineView;

namespace gradecast {

// A page of tests/pages as a file address.
QUrl testPage(const QString &name);

// Runs script in the view's page and waits for its value; an invalid QVariant
// when no answer came in time.
QVariant evaluate(QWebEngineView *view, const QString &script, int timeoutMs = 30000);

// Waits until the view shows url with its document loaded.
bool waitForPage(QWebEngineView *view, const QUrl &url, int timeoutMs = 30000);

} // namespace gradecast
