#pragma once

#include "entry/fill_plan.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// After a run, what was typed is compared with what the page's fields hold,
// and the teacher hears only of what differs. The page side (where each
// entry's keys went and what its field holds) is gathered by the page
// recorder. Silence means every entry is known to be as typed: an entry the
// recorder knows nothing of is told, never passed over.

// What the page made of one typed entry. For an entry typed again, what the
// page made of its latest typing.
struct LandedEntry {
    int keysSent = 0; // its key presses, separators included, that went out
    int keysSeen = 0; // of those, the ones that reached the page
    int field = -1;   // the field its first key went into; -1: none that takes text
    bool fieldGone = false; // that field was not found again once the page had settled
    std::u16string value;   // what that field holds once the page has settled
    // What the field held when the entry's first separator key arrived; none
    // without a separator. A value that already differed there is the page's
    // own rule (a cut, a filter), which typing again would only repeat.
    std::optional<std::u16string> valueAtSeparator;
    bool redrawn = false;     // the page replaced the field after the entry's first key
    bool rejected = false;    // the page marks the field invalid
    std::u16string rejection; // the page's own words for it, may be empty
    // The keys went into the planned field of this other row (the page moved
    // the focus on its own).
    std::optional<std::size_t> otherRow = {};
};

// An order fill stopped before an entry whose first key would have gone into
// a control that takes no text: a space ticks a checkbox, a letter picks an
// option, Enter follows a link.
struct StoppedAt {
    std::size_t entry = 0;  // the first entry not typed
    std::u16string control; // what it is: 核取方塊, 下拉選單, 連結 ...
    std::u16string label;   // its label, may be empty
};

// Something in a row the run typed into that changed though no entry was
// planned there: a feedback field written, a checkbox ticked, an option chosen.
struct RowChange {
    enum class Kind { Text, Checked, Unchecked, Chosen };
    Kind kind = Kind::Text;
    std::size_t row = 0;
    std::u16string label; // the control's column header or label, may be empty
    std::u16string value; // the text or the option it holds now
};

struct PageReport {
    std::vector<LandedEntry> entries; // one per typed entry, in order
    // How many entries, from the first, the recorder could follow; fewer than
    // all when it lost track. The rest are not known to be as typed.
    int followedEntries = 0;
    bool navigated = false; // the page (or a frame of it) was left during the run
    // The page's own requests were still running when the wait for it ended:
    // a field read then may still change.
    bool busy = false;
    std::optional<StoppedAt> stopped = {};
    // A form submission a typed key set off was held back.
    bool submitHeld = false;
    std::vector<RowChange> rowChanges = {};
};

// True when the field holds what was typed: the same text, or the same number
// (a page that writes " 85" back as "85" or "85.0" has taken it).
bool SameEntry(std::u16string_view typed, std::u16string_view value);

// The entries (positions in typed and in the report) that the page lost after
// they landed: their field holds something else now although it held the
// entry at its separator, or the page redrew the field meanwhile. Typing them
// again into their field may bring them back. Never an entry the page cut at
// once, one that went into no field or into another entry's field, and
// nothing once the page was left or while it is still busy.
std::vector<std::size_t> EntriesToTypeAgain(const std::vector<PlannedEntry> &typed,
                                            const PageReport &report);

// The message for the teacher, one line each: up to five entries named, a
// count of the rest, the remedy for a page that rejects the blank before a
// number, the entries that could not be followed, and a line when the page
// was left. typedAgain holds, per entry, how often it was typed again, so a
// lost entry says it was. When the page was still busy, one line says from
// which entry on nothing is sure, instead. Empty when every entry is as
// typed. Entries that press no key cannot be followed and are not judged.
// rows names the students of the rows the plan's targets count.
std::u16string FillCheckMessage(const std::vector<PlannedEntry> &typed, const PageReport &report,
                                const std::vector<int> &typedAgain = {},
                                const std::vector<std::u16string> &rows = {});

} // namespace gradecast
