#include "workbook/file_bytes.h"

#include "workbook/refusal.h"
#include "workbook/workbook_limits.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gradecast {
namespace {

[[noreturn]] void refuseUnreadable(int error)
{
    throw Refusal{UnreadableSentence(error)};
}

} // namespace

std::u16string UnreadableSentence(int error)
{
    std::u16string reason;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        reason = u"找不到這個檔案";
        break;
    case EACCES:
    case EPERM:
        reason = u"沒有權限";
        break;
    case EISDIR:
        reason = u"這是資料夾，不是檔案";
        break;
    default:
        reason = QString::fromLocal8Bit(std::strerror(error)).toStdU16String();
    }
    return u"無法讀取這個檔案：" + reason + u"。";
}

QByteArray ReadFileBytes(const std::filesystem::path &file)
{
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        refuseUnreadable(errno);
    struct Closer {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } closer{descriptor};
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        refuseUnreadable(errno);
    if (S_ISDIR(status.st_mode))
        refuseUnreadable(EISDIR);
    if (status.st_size > kMaxFileBytes)
        Refuse(kTooLargeSentence);
    // Read until the end, whatever the size said: a file may grow, and a
    // pipe or a special file has no size.
    QByteArray bytes;
    qsizetype used = 0;
    for (;;) {
        if (used > kMaxFileBytes)
            Refuse(kTooLargeSentence);
        if (bytes.size() - used < 65536)
            bytes.resize(std::max<qsizetype>(bytes.size() * 2, qsizetype(status.st_size) + 65536));
        const ssize_t count = ::read(descriptor, bytes.data() + used, size_t(bytes.size() - used));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            refuseUnreadable(errno);
        if (count == 0)
            break;
        used += count;
    }
    bytes.truncate(used);
    return bytes;
}

} // namespace gradecast
