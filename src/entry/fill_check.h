#pragma once

#include "entry/keystroke_script.h"

#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// After a run, what was typed is compared with what the page's fields hold,
// and the teacher hears only of what differs. The page side (which field each
// entry reached and what it holds now) is gathered by the page recorder.

// One stretch of a run: an entry's typed text and the separator keys after
// it. With neither Tab nor Enter the whole run goes into one field and is one
// stretch.
struct TypedEntry {
    int place = 0; // 1 for the first entry
    std::u16string typed;
    int separators = 0;
};

std::vector<TypedEntry> TypedEntries(std::u16string_view text, const FillOptions &options);

// What the page made of one typed entry.
struct LandedEntry {
    bool seen = false;        // its keys reached a page the recorder could look into
    int field = -1;           // the field its first key went into; -1: none that takes text
    std::u16string value;     // what that field holds once the page has settled
    bool rejected = false;    // the page marks the field invalid
    std::u16string rejection; // the page's own words for it, may be empty
};

struct PageReport {
    std::vector<LandedEntry> entries; // one per typed entry, in order
    bool navigated = false;           // the page (or a frame of it) was left during the run
};

// True when the field holds what was typed: the same text, or the same number
// (a page that writes " 85" back as "85" or "85.0" has taken it).
bool SameEntry(std::u16string_view typed, std::u16string_view value);

// The message for the teacher, one line each: up to five entries named, a
// count of the rest, and a line when the page was left. Empty when every
// entry landed as typed. Entries that type nothing, or that the recorder did
// not see, are not judged.
std::u16string FillCheckMessage(const std::vector<TypedEntry> &typed, const PageReport &report);

} // namespace gradecast
