#pragma once

#include "e2e_fill.h"

#include <QList>
#include <QString>
#include <QThread>
#include <QUrl>

#include <atomic>

namespace gradecast::bench {

// The server of the redrawing sheet, in a thread of its own so that its
// answers keep their times while the window's thread is busy typing. It
// serves the bench's and the tests' pages from the source tree, and answers
// each /save with the values sent, after a delay drawn for that answer alone
// (so answers overtake each other).
class RedrawServer : public QThread
{
public:
    RedrawServer(QString sourceRoot, int minDelayMs, int maxDelayMs);
    ~RedrawServer() override;

    // Starts the thread and waits until the server listens; false when it could not.
    bool listen();
    QUrl url(const QString &path) const;

protected:
    void run() override;

private:
    QString m_root;
    int m_minDelayMs;
    int m_maxDelayMs;
    std::atomic<int> m_port{-1};
};

// One kind of the redrawing sheet, bench/pages/redraw-sheet.html?kind=...
struct RedrawKind {
    QString kind;
    QString description;
};
const QList<RedrawKind> &redrawKinds();

struct RedrawOutcome {
    // From the start of typing to the last change of any field's value, by
    // typing or by a redraw: the time the sheet took its final state.
    double lastHeldMs = 0;
    int lostFields = 0;   // fields that end without their value
    int keydowns = 0;     // all keys the page saw, retyped ones included
    int requests = 0;     // changes the page sent to its server
    // Gradecast only: from the page's last answer to the end of the whole
    // run (the click returns once the run and its mending rounds are done).
    double endAfterLastAnswerMs = 0;
    QStringList values;
};

// Types the bench column into the redrawing sheet already open in bench's
// window, and waits until the typist has finished and the page has settled:
// no request in flight and no field changed for a while.
RedrawOutcome typeIntoRedrawSheet(FillBench &bench, Typist typist);

} // namespace gradecast::bench
