#include "workbook/open_workbook.h"

#include "sheet/delimited_text.h"
#include "workbook/compound_file.h"
#include "workbook/file_bytes.h"
#include "workbook/ods_reader.h"
#include "workbook/refusal.h"
#include "workbook/sheet_builder.h"
#include "workbook/xls_reader.h"
#include "workbook/xlsx_reader.h"
#include "workbook/zip_parts.h"

#include <QBuffer>
#include <QString>

#include <algorithm>
#include <new>
#include <string_view>

namespace gradecast {
namespace {

constexpr std::string_view kZipStart{"PK\x03\x04", 4};
constexpr std::string_view kCompoundStart{"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8};
constexpr QStringView kOdsType = u"application/vnd.oasis.opendocument.spreadsheet";

// An OpenDocument package says what it is in its first entry, mimetype.
bool isOds(ZipParts &zip)
{
    if (!zip.contains(QStringLiteral("mimetype")))
        return false;
    const auto part = zip.open(QStringLiteral("mimetype"));
    const QString type = QString::fromUtf8(part->read(256)).trimmed();
    // A template (…spreadsheet-template) holds a sheet all the same.
    if (!type.startsWith(kOdsType))
        Refuse(NotATableSentence);
    return true;
}

// ODF keeps a password-protected document's parts encrypted and says so in its
// manifest: its entries have encryption data.
bool isEncryptedOds(ZipParts &zip)
{
    if (!zip.contains(QStringLiteral("META-INF/manifest.xml")))
        return false;
    const auto manifest = zip.open(QStringLiteral("META-INF/manifest.xml"));
    return manifest->readAll().contains("encryption-data");
}

Workbook readZip(const QByteArray &bytes, CellBudget &budget)
{
    QBuffer buffer;
    buffer.setData(bytes);
    ZipParts zip(&buffer);
    if (isOds(zip)) {
        if (isEncryptedOds(zip))
            Refuse(kPasswordSentence);
        return ReadOds(zip, budget);
    }
    return ReadXlsx(zip, budget);
}

Workbook readCompound(const std::filesystem::path &file, std::string_view bytes,
                      CellBudget &budget)
{
    if (HasEncryptionInfo(bytes))
        Refuse(kPasswordSentence);
    return ReadXls(file, bytes, budget);
}

bool hasCells(const Workbook &workbook)
{
    return std::any_of(workbook.sheets.begin(), workbook.sheets.end(),
                       [](const Sheet &sheet) { return !sheet.rows.empty(); });
}

} // namespace

WorkbookRead OpenWorkbook(const std::filesystem::path &file)
{
    try {
        const QByteArray bytes = ReadFileBytes(file);
        const std::string_view view(bytes.constData(), std::size_t(bytes.size()));
        CellBudget budget;
        WorkbookRead read;
        if (view.starts_with(kZipStart))
            read.workbook = readZip(bytes, budget);
        else if (view.starts_with(kCompoundStart))
            read.workbook = readCompound(file, view, budget);
        else
            return ReadDelimitedText(view, QString::fromStdString(file.stem().string()).toStdU16String());
        if (!hasCells(read.workbook))
            read = {{}, NoCellsSentence};
        return read;
    } catch (const Refusal &refusal) {
        return {{}, refusal.sentence};
    } catch (const std::bad_alloc &) {
        return {{}, kTooLargeSentence};
    }
}

} // namespace gradecast
