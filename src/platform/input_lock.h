#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace gradecast {

// Holds a window against the user while the program types into it, or while
// a page's own box is up. A disabled widget would drop the program's own key
// events and lose the focus, so the window stays enabled and this filter eats
// only what the user does to it (spontaneous mouse, key, wheel, shortcut and
// close events); events the program posts itself pass.
class InputLock : public QObject
{
    Q_OBJECT
public:
    enum Hold {
        Everything,
        // All but the window's close and its closing controls: a box that
        // waits for the teacher does not keep the teacher in the window.
        AllButClosing,
    };
    explicit InputLock(QWidget *window, Hold hold = Everything);
    ~InputLock() override;

    // Marks a control that ends the window (the program's quit button): it
    // stays usable under AllButClosing.
    static void letThroughWhenClosing(QWidget *control);

    void setLocked(bool locked);
    bool isLocked() const { return m_locked; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool belongsToWindow(QObject *object) const;

    bool passes(QObject *watched, const QEvent *event) const;

    QPointer<QWidget> m_window;
    Hold m_hold;
    bool m_locked = false;
};

} // namespace gradecast
