#pragma once

#include "e2e_memory.h"

#include <QString>

#include <optional>

namespace gradecast::bench {

// From the launch of the program to what the screen shows.
struct LaunchTimes {
    double windowMs = 0; // the window painted (its blue button strip)
    double pageMs = 0;   // the practice page painted (its banner)
};

// Starts program, which must sit in a folder without a settings file so that
// it opens its practice page, watches two pixels of the screen until the
// window and then the page have been painted, and ends it with all its
// processes. With memory, also waits for the program's memory to settle and
// samples it first.
std::optional<LaunchTimes> launchAndWatch(const QString &program,
                                          MemorySample *memory = nullptr);

// In this process: a new window created, to its practice page loaded
// (loadFinished). The first call also starts the browser engine.
double newWindowToHomeLoadedMs();

} // namespace gradecast::bench
