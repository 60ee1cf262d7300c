#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace gradecast {

class WebBrowser;

// Asks where to save a download, starting from suggestedPath (the download
// folder and the name the server gave); an empty path saves nothing. Tests
// replace it to answer the dialog.
using SaveFileChooser = std::function<QString(QWidget *parent, const QString &suggestedPath)>;

// Replaces the save dialog (an empty chooser restores it); returns the previous one.
SaveFileChooser SetSaveFileChooser(SaveFileChooser chooser);

// Every download the program's pages start asks where to save it, offering a
// safe name in the download folder, and lands there whole or not at all; a
// long one shows its progress and can be cancelled. Once, at the start.
void WatchDownloads();

// The engine answers no page script while a download waits for its file, so
// each of this browser's pages notes its encoding (for the server's file
// names) when it has loaded.
void NoteDownloadEncoding(WebBrowser *browser);

// Whether a download is under way.
bool DownloadRunning();

// Cancels every download under way, as the program ends: without a word, and
// leaving no part of a file.
void CancelDownloads();

// Whether what is downloading may be cut off: true when nothing is, or when
// the teacher, asked over window, agrees (No is the default).
bool DownloadsMayBeCutOff(QWidget *window);

} // namespace gradecast
