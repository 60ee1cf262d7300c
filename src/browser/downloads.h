#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace gradecast {

// Asks where to save a download, starting from suggestedPath (the download
// folder and the name the server gave); an empty path saves nothing. Tests
// replace it to answer the dialog.
using SaveFileChooser = std::function<QString(QWidget *parent, const QString &suggestedPath)>;

// Replaces the save dialog (an empty chooser restores it); returns the previous one.
SaveFileChooser SetSaveFileChooser(SaveFileChooser chooser);

// Every download a page starts, in any window, asks where to save it and
// lands there whole or not at all; a long one shows its progress and can be
// cancelled. Call once: the windows share one browser profile.
void WatchDownloads();

// Whether a download is under way.
bool DownloadRunning();

} // namespace gradecast
