#include "browser/server_text.h"

#include "settings/ansi_codec.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace gradecast {

namespace {

std::optional<QString> readWhole(QStringDecoder decoder, const QByteArray &bytes)
{
    if (!decoder.isValid())
        return std::nullopt;
    const QString text = decoder(bytes);
    return decoder.hasError() ? std::nullopt : std::optional(text);
}

// Encodings that say nothing about bytes that are not UTF-8: UTF-8 itself,
// Big5, read below as the settings file is, and windows-1252, which the engine
// gives a page that names none and which reads any bytes.
bool tellsNothing(const QByteArray &encoding)
{
    return encoding.isEmpty() || encoding.compare("UTF-8", Qt::CaseInsensitive) == 0
        || encoding.compare("Big5", Qt::CaseInsensitive) == 0
        || encoding.compare("windows-1252", Qt::CaseInsensitive) == 0;
}

} // namespace

QString ServerText(const QString &engineText, const QByteArray &pageEncoding)
{
    const auto byteWise = [](QChar c) { return c.unicode() <= 0xFF; };
    const auto ascii = [](QChar c) { return c.unicode() < 0x80; };
    if (!std::all_of(engineText.begin(), engineText.end(), byteWise)
        || std::all_of(engineText.begin(), engineText.end(), ascii))
        return engineText;
    const QByteArray bytes = engineText.toLatin1();
    if (const auto text = readWhole(QStringDecoder(QStringDecoder::Utf8,
                                                   QStringDecoder::Flag::Stateless), bytes))
        return *text;
    if (!tellsNothing(pageEncoding)) {
        if (const auto text = readWhole(QStringDecoder(pageEncoding.constData(),
                                                       QStringDecoder::Flag::Stateless), bytes))
            return *text;
    }
    // A reading with characters of Big5's user-defined rows is taken for none:
    // that is how Latin-1 text such as "Müller" reads.
    const std::optional<std::u16string> big5 = UnicodeFromAnsi(bytes.toStdString());
    const bool whole = big5 && std::none_of(big5->begin(), big5->end(), [](char16_t c) {
        return c == u'\uFFFD' || (c >= 0xE000 && c <= 0xF8FF);
    });
    return whole ? QString::fromStdU16String(*big5) : engineText;
}

} // namespace gradecast
