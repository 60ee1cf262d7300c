#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

class QProcess;

namespace gradecast {
class Form1;
}

namespace gradecast::bench {

// The ways of typing a column that are compared. GradecastByStudent pastes
// seat numbers beside the scores, in another order than the page, and takes
// the fill by student that the program then offers.
enum class Typist { Gradecast, XdotoolNoDelay, XdotoolDefaultDelay, GradecastByStudent };
inline constexpr Typist AllTypists[] = {Typist::Gradecast, Typist::XdotoolNoDelay,
                                        Typist::XdotoolDefaultDelay};
QString typistName(Typist typist);

// One variant of the bench score sheet, bench/pages/sheet.html?kind=...
struct SheetKind {
    QString kind;
    QString description;
    bool enterSeparator = false; // the page moves on with Enter instead of Tab
};
const QList<SheetKind> &sheetKinds();
// The grading sheet: five Tab stops from one score field to the next, so
// only a fill that follows the column puts each score in its row. Not one of
// sheetKinds(): typed with one Tab a score, it is no page for xdotool.
const SheetKind &fiveStopSheet();
// The same grading sheet with its score fields numbered down the column, so
// Tab alone goes from score to score: the order fill beside the column fill.
const SheetKind &fiveStopSheetDown();

// The column every run types, as pasted from a spreadsheet (absent students
// are empty cells), and what the 60 fields must hold afterwards. byStudent is
// the same scores as "seat<Tab>score" lines, in another order than the page.
struct ScoreColumn {
    QString pasted;
    QString byStudent;
    QStringList expected;
};
ScoreColumn benchColumn();

// The keys that type the column: every character and one separator per entry.
int keystrokesOf(const ScoreColumn &column);

struct FillOutcome {
    // From the start of typing to the input event that completed the sheet
    // (or, when it never was, the last input event).
    double ms = 0;
    // First keydown to that same input event, on the page's clock alone.
    double pageSpanMs = 0;
    int wrongFields = 0;
    // Controls beside the score fields that the run changed (their ids), a
    // submit, a followed link.
    QStringList othersChanged;
    // What the run left, for a report of a run that went wrong.
    int inputEvents = 0;
    int keydowns = 0;
    QStringList values;
};

// Waits until xdotool has typed its last key (ends it only when it hangs).
void letXdotoolFinish(QProcess &xdotool);

// One Gradecast window on the bench sheet, typed into by each typist in turn.
class FillBench
{
public:
    explicit FillBench(QString pagesDir);
    ~FillBench();
    FillBench(const FillBench &) = delete;
    FillBench &operator=(const FillBench &) = delete;

    // Loads the sheet of that kind and sets the window's boxes for it.
    bool open(const SheetKind &kind);
    // Loads any page and sets the boxes for its separator.
    bool open(const QUrl &url, bool enterSeparator);
    FillOutcome run(Typist typist);

    // The parts of a run that every page shares. prepare() pastes the column
    // or gives the window the X input focus; the teacher's click into seat 1
    // comes after it. start() hands the column to the typist and returns the
    // harness's clock just before: for Gradecast once its whole run is done
    // (the click returns then), xdotool typing on in the process given.
    void prepare(Typist typist);
    double start(Typist typist, QProcess &xdotool);

    Form1 *window() const { return m_window; }
    const ScoreColumn &column() const { return m_column; }

    // The page's clock read by a round trip from the harness: the page's time
    // minus the middle of the round trip, and the round trip's length.
    struct ClockProbe {
        double offsetMs = 0;
        double roundTripMs = 0;
    };
    ClockProbe probeClock();

private:
    void focusForXdotool();

    QString m_pagesDir;
    Form1 *m_window = nullptr;
    ScoreColumn m_column;
    bool m_enter = false;
};

} // namespace gradecast::bench
