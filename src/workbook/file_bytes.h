#pragma once

#include <QByteArray>

#include <filesystem>
#include <string>

namespace gradecast {

// The whole file, read once: archives and text files are read from these
// bytes, so what was checked is what is read (FreeXL reads an .xls by its
// name). A file larger than kMaxFileBytes is refused as too
// large; one that cannot be read, with the system's reason.
QByteArray ReadFileBytes(const std::filesystem::path &file);

// "無法讀取這個檔案：沒有權限。": the reason for an errno value, in Chinese for
// the usual ones, else as the system words it.
std::u16string UnreadableSentence(int error);

} // namespace gradecast
