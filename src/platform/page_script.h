#pragma once

#include <QString>
#include <QVariant>

#include <optional>

class QWebEnginePage;

namespace gradecast {

// Runs script in the page and runs events until its value comes back, at
// most timeoutMs; nothing when it did not come in time or the page went.
// The wait is a real event loop: the browser engine does its own work on this
// thread and must not be starved meanwhile.
std::optional<QVariant> RunScriptAndWait(QWebEnginePage *page, const QString &script,
                                         quint32 worldId, int timeoutMs);

} // namespace gradecast
