#pragma once

#include <QIODevice>
#include <QString>

#include <memory>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

namespace gradecast {

// One part of the archive as a sequential stream that counts the bytes it
// inflates and fails past kMaxPartBytes or on damaged data (its checksum
// included).
class ZipPart : public QIODevice {
public:
    explicit ZipPart(QuaZip *zip);

    bool isSequential() const override { return true; }
    // After its reader stopped before the end: throws why. The stream's own
    // failure (too large, damaged) when it had one, else the XML was broken.
    [[noreturn]] void refuse() const;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 fail(const char16_t *sentence);

    QuaZipFile m_file;
    qint64 m_total = 0;
    const char16_t *m_failure = nullptr;
};

// The parts of a zip archive (.xlsx, .ods). The size an entry declares is
// checked before it is read and the bytes actually inflated while it is read,
// so an entry that lies about its size is refused all the same.
class ZipParts {
public:
    // The archive's bytes; refuses what is no readable zip archive as damaged.
    explicit ZipParts(QIODevice *archive);

    bool contains(const QString &name);
    // A missing part refuses the file as damaged.
    std::unique_ptr<ZipPart> open(const QString &name);

private:
    QuaZip m_zip;
};

} // namespace gradecast
