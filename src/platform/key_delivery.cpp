#include "platform/key_delivery.h"

#include "platform/key_mapping.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace gradecast {

bool SendKeyString(QObject *receiver, std::u16string_view keys)
{
    const std::optional<KeyStroke> stroke =
        keyStrokeFor(QStringView(keys.data(), static_cast<qsizetype>(keys.size())));
    if (!stroke || !receiver)
        return false;

    // Posted, not sent: the call returns at once, the events keep their order,
    // and they bypass the desktop's input method (a Zhuyin method would turn
    // digits into bopomofo).
    if (stroke->kind == KeyStroke::Kind::Commit) {
        auto *commit = new QInputMethodEvent;
        commit->setCommitString(stroke->text);
        QCoreApplication::postEvent(receiver, commit);
        return true;
    }
    QCoreApplication::postEvent(
        receiver, new QKeyEvent(QEvent::KeyPress, stroke->key, stroke->modifiers, stroke->text));
    QCoreApplication::postEvent(
        receiver, new QKeyEvent(QEvent::KeyRelease, stroke->key, stroke->modifiers, stroke->text));
    return true;
}

void PumpMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace gradecast
