#pragma once

#include <QtCore/QString>
#include <QtCore/QStringView>
#include <QtCore/qnamespace.h>

#include <optional>

namespace gradecast {

// What typing one keystroke string takes. A Key is a press and release of
// `key` (0 when no key of a US keyboard produces the character, so only its
// text arrives) with `modifiers`; a Commit is text that no key event can carry
// (a character beyond the BMP), handed over as an input-method commit.
struct KeyStroke {
    enum class Kind { Key, Commit };

    Kind kind = Kind::Key;
    int key = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    QString text;
};

// The keystroke of "{c}" (exactly one character c, typed literally), "{TAB}" or
// "{Enter}"; nullopt for any other string and for characters that are not
// typed text (control characters, a lone surrogate).
std::optional<KeyStroke> keyStrokeFor(QStringView keystrokeString);

} // namespace gradecast
