#pragma once

#include "entry/fill_check.h"
#include "entry/keystroke_script.h"

#include <QMetaObject>
#include <QPointer>
#include <QUrl>

#include <optional>
#include <vector>

class QWebEnginePage;

namespace gradecast {

// The page side of the fill check: a small script (resources/page_recorder.js)
// run in a script world of its own, so the page neither sees nor breaks it.

// What has the keyboard focus in the page, looked at through its frames of the
// same origin.
enum class PageFocus {
    Field,   // a field that takes typed text
    NoField, // the page itself, a button, a disabled or read-only field ...
    Unknown, // inside a frame of another origin, or the page did not answer in time
};
PageFocus FocusedPageElement(QWebEnginePage *page);

// Puts the page's focus back on the field the last FocusedPageElement found
// (found again by id, name or place when the page has redrawn it), when
// something has moved the focus since. False when that field is gone.
bool RestorePageFocus(QWebEnginePage *page);

// Notes, for one run, which field each typed stretch went into and what the
// field holds once the page has settled.
class PageRecorder
{
public:
    explicit PageRecorder(QWebEnginePage *page);
    ~PageRecorder();
    PageRecorder(const PageRecorder &) = delete;
    PageRecorder &operator=(const PageRecorder &) = delete;

    // Puts the recorder into the page before the keys of script go out; false
    // when the page did not take it (the run is then not checked).
    bool start(const KeystrokeScript &script, const std::vector<TypedEntry> &typed);

    // After the keys have gone out: waits until the page has seen every key
    // (giving up when none has come for a while) and has settled, then reads
    // what each entry's field holds. Nothing when the page itself went away.
    std::optional<PageReport> finish();

private:
    bool leftDuringRun() const;

    QPointer<QWebEnginePage> m_page;
    int m_keys = 0; // key presses the page is to see
    // A load the page started during the run (a form sent by Enter): while it
    // runs, or once it has brought another address, the page has been left
    // even when its old document still answers.
    QUrl m_startUrl;
    bool m_loadStarted = false;
    bool m_loading = false;
    QMetaObject::Connection m_onLoadStarted;
    QMetaObject::Connection m_onLoadFinished;
};

} // namespace gradecast
