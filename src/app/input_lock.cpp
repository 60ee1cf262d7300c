#include "app/input_lock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace gradecast {

namespace {

bool isUserInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

InputLock::InputLock(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

InputLock::~InputLock()
{
    setLocked(false);
}

void InputLock::setLocked(bool locked)
{
    if (locked == m_locked)
        return;
    m_locked = locked;
    if (locked) {
        QCoreApplication::instance()->installEventFilter(this);
        if (m_window)
            m_window->setCursor(Qt::WaitCursor);
    } else {
        QCoreApplication::instance()->removeEventFilter(this);
        if (m_window)
            m_window->unsetCursor();
    }
}

bool InputLock::belongsToWindow(QObject *object) const
{
    if (!m_window)
        return false;
    if (object->isWidgetType())
        return static_cast<QWidget *>(object)->window() == m_window;
    if (object->isWindowType())
        return object == m_window->windowHandle();
    return false;
}

bool InputLock::eventFilter(QObject *watched, QEvent *event)
{
    if (m_locked && event->spontaneous() && isUserInput(event) && belongsToWindow(watched))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace gradecast
