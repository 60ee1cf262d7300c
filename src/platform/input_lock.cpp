#include "platform/input_lock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventPoint>
#include <QMouseEvent>
#include <QVariant>
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

const char *const ClosingControl = "gradecastClosingControl";

} // namespace

InputLock::InputLock(QWidget *window, Hold hold)
    : QObject(window)
    , m_window(window)
    , m_hold(hold)
{
}

void InputLock::letThroughWhenClosing(QWidget *control)
{
    control->setProperty(ClosingControl, true);
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
        if (m_window && m_hold == Everything)
            m_window->setCursor(Qt::WaitCursor);
    } else {
        QCoreApplication::instance()->removeEventFilter(this);
        if (m_window && m_hold == Everything)
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

bool InputLock::passes(QObject *watched, const QEvent *event) const
{
    if (m_hold != AllButClosing)
        return false;
    if (event->type() == QEvent::Close)
        return true;
    // A click reaches the window before the control under it.
    QObject *target = watched;
    if (watched->isWindowType() && event->isPointerEvent()) {
        const auto *pointer = static_cast<const QPointerEvent *>(event);
        target = pointer->points().isEmpty()
            ? nullptr
            : m_window->childAt(pointer->points().first().position().toPoint());
    }
    return target && target->property(ClosingControl).toBool();
}

bool InputLock::eventFilter(QObject *watched, QEvent *event)
{
    if (m_locked && event->spontaneous() && isUserInput(event) && belongsToWindow(watched)
        && !passes(watched, event))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace gradecast
