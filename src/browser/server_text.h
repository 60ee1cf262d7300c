#pragma once

#include <QByteArray>
#include <QString>

namespace gradecast {

// The engine hands text from a server's headers that is not UTF-8 (a sign-in
// realm, even UTF-8) one byte to a character, as Latin-1. This reads those
// bytes as the server meant them: as UTF-8, else in pageEncoding (the page's
// own, where known), else as Big5, which older school systems send. Text that
// none of them reads whole stays as the engine gave it.
QString ServerText(const QString &engineText, const QByteArray &pageEncoding = {});

} // namespace gradecast
