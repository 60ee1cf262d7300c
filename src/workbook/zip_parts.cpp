#include "workbook/zip_parts.h"

#include "workbook/refusal.h"
#include "workbook/workbook_limits.h"

#include <quazip/quazipfileinfo.h>

namespace gradecast {

ZipPart::ZipPart(QuaZip *zip) : m_file(zip)
{
    QuaZipFileInfo64 info;
    if (!m_file.getFileInfo(&info))
        Refuse(kDamagedSentence);
    if (info.uncompressedSize > quint64(kMaxPartBytes))
        Refuse(kTooLargeSentence);
    if (!m_file.open(QIODevice::ReadOnly))
        Refuse(kDamagedSentence);
    QIODevice::open(QIODevice::ReadOnly);
}

void ZipPart::refuse() const
{
    Refuse(m_failure ? m_failure : kDamagedSentence);
}

qint64 ZipPart::readData(char *data, qint64 maxSize)
{
    if (m_failure)
        return -1;
    if (!m_file.isOpen())
        return 0;
    const qint64 count = m_file.read(data, maxSize);
    if (count < 0)
        return fail(kDamagedSentence);
    m_total += count;
    if (m_total > kMaxPartBytes)
        return fail(kTooLargeSentence);
    // The end of the entry: its checksum is checked as it closes.
    if (count == 0 && maxSize > 0) {
        m_file.close();
        if (m_file.getZipError() != UNZ_OK)
            return fail(kDamagedSentence);
    }
    return count;
}

qint64 ZipPart::fail(const char16_t *sentence)
{
    m_failure = sentence;
    return -1;
}

ZipParts::ZipParts(QIODevice *archive) : m_zip(archive)
{
    if (!m_zip.open(QuaZip::mdUnzip))
        Refuse(kDamagedSentence);
}

bool ZipParts::contains(const QString &name)
{
    return m_zip.setCurrentFile(name, QuaZip::csInsensitive);
}

std::unique_ptr<ZipPart> ZipParts::open(const QString &name)
{
    if (!contains(name))
        Refuse(kDamagedSentence);
    return std::make_unique<ZipPart>(&m_zip);
}

} // namespace gradecast
