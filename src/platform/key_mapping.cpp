#include "platform/key_mapping.h"

#include "entry/keystroke_script.h"

#include <QtCore/QChar>

namespace gradecast {

namespace {

// Printable ASCII that a US keyboard types with Shift held.
bool needsShift(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || QStringView(u"~!@#$%^&*()_+{}|:\"<>?").contains(QChar(c));
}

KeyStroke printableAscii(char16_t c)
{
    // Qt's key code of a printable ASCII character is its own code; a letter's
    // key is that of its capital.
    const int key = c >= u'a' && c <= u'z' ? Qt::Key_A + (c - u'a') : c;
    return {KeyStroke::Kind::Key, key, needsShift(c) ? Qt::ShiftModifier : Qt::NoModifier,
            QString(QChar(c))};
}

std::optional<KeyStroke> literalCharacter(QStringView character)
{
    if (character.size() == 2) {
        if (!character[0].isHighSurrogate() || !character[1].isLowSurrogate())
            return std::nullopt;
        return KeyStroke{KeyStroke::Kind::Commit, 0, Qt::NoModifier, character.toString()};
    }
    const QChar c = character[0];
    if (c.isSurrogate() || c.category() == QChar::Other_Control)
        return std::nullopt;
    if (c.unicode() >= u' ' && c.unicode() <= u'~')
        return printableAscii(c.unicode());
    return KeyStroke{KeyStroke::Kind::Key, 0, Qt::NoModifier, QString(c)};
}

} // namespace

std::optional<KeyStroke> keyStrokeFor(QStringView keystrokeString)
{
    if (keystrokeString == QStringView(TabKeystroke))
        return KeyStroke{KeyStroke::Kind::Key, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")};
    if (keystrokeString == QStringView(EnterKeystroke))
        return KeyStroke{KeyStroke::Kind::Key, Qt::Key_Return, Qt::NoModifier,
                         QStringLiteral("\r")};

    const qsizetype size = keystrokeString.size();
    if (size < 3 || size > 4 || !keystrokeString.startsWith(u'{')
        || !keystrokeString.endsWith(u'}'))
        return std::nullopt;
    return literalCharacter(keystrokeString.sliced(1, size - 2));
}

} // namespace gradecast
