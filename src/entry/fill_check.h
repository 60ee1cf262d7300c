#pragma once

#include "entry/keystroke_script.h"

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

// One stretch of a run: an entry's typed text and the separator keys after
// it. With neither Tab nor Enter the whole run goes into one field and is one
// stretch. How the entry reached its field (a Tab chain or a field chosen for
// it) makes no difference to the check.
struct TypedEntry {
    int place = 0; // 1 for the first entry
    std::u16string typed;
    int separators = 0;
};

std::vector<TypedEntry> TypedEntries(std::u16string_view text, const FillOptions &options);

// A run's keystrokes cut into its entries: each entry's characters and the
// separator keys after it.
std::vector<KeystrokeScript> KeystrokesPerEntry(const KeystrokeScript &script,
                                                const std::vector<TypedEntry> &typed);

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
std::vector<std::size_t> EntriesToTypeAgain(const std::vector<TypedEntry> &typed,
                                            const PageReport &report);

// The message for the teacher, one line each: up to five entries named, a
// count of the rest, the remedy for a page that rejects the blank before a
// number, the entries that could not be followed, and a line when the page
// was left. typedAgain holds, per entry, how often it was typed again, so a
// lost entry says it was. When the page was still busy, one line says from
// which entry on nothing is sure, instead. Empty when every entry is as
// typed. Entries that press no key cannot be followed and are not judged.
std::u16string FillCheckMessage(const std::vector<TypedEntry> &typed, const PageReport &report,
                                const std::vector<int> &typedAgain = {});

} // namespace gradecast
