#pragma once

#include "entry/fill_check.h"
#include "entry/fill_plan.h"

#include <QMetaObject>
#include <QPointer>
#include <QUrl>

#include <optional>
#include <vector>

class QWebEnginePage;
class QWebEngineProfile;

namespace gradecast {

// The page side of a fill: a small script (resources/page_recorder.js) in a
// script world of its own, put into every frame before the page's own
// scripts, so the page neither sees nor breaks it and cannot hide keys from
// it; beside it, in the page's world, a watch on the page's requests
// (resources/page_requests.js). Into the profile, once for all its pages.
void InstallPageRecorder(QWebEngineProfile *profile);

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

// The focused field's column (its table's column, or the fields named like
// it): its rows in page order, the clicked one, the headers over the clicked
// row's fields. No rows when there is none or the page did not answer.
PageColumn FocusedColumn(QWebEnginePage *page);

// Notes, for one run, which field each entry went into and what the field
// holds once the page has settled, and puts the focus into the field an entry
// is to be typed into when it has one of its own.
class PageRecorder
{
public:
    explicit PageRecorder(QWebEnginePage *page);
    ~PageRecorder();
    PageRecorder(const PageRecorder &) = delete;
    PageRecorder &operator=(const PageRecorder &) = delete;

    // Before the keys of the planned entries go out; targets count the rows
    // of the last FocusedColumn. The first entry's own field takes the focus
    // now. False when the page did not take the recorder (the run is then
    // not checked).
    bool start(const std::vector<PlannedEntry> &entries);

    // Before the keys of the given entries go out again, each into the field
    // it went into; the first takes the focus now.
    bool again(const std::vector<std::size_t> &entries);

    // After the keys have gone out: waits until the page has seen every key
    // (giving up when none has come for a while) and has settled (no change
    // for a moment and none of its requests out), then reads what each
    // entry's field holds. Nothing when the page itself went away.
    std::optional<PageReport> finish();

private:
    bool leftDuringRun() const;

    QPointer<QWebEnginePage> m_page;
    std::vector<int> m_keys; // key presses of each entry
    int m_roundKeys = 0;     // key presses the page is to see in this round
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
