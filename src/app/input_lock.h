#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace gradecast {

// Holds a window against the user while the program types into it. A disabled
// widget would drop the program's own key events and lose the focus, so the
// window stays enabled and this filter eats only what the user does to it
// (spontaneous mouse, key, wheel, shortcut and close events); events the
// program posts itself pass.
class InputLock : public QObject
{
    Q_OBJECT
public:
    explicit InputLock(QWidget *window);
    ~InputLock() override;

    void setLocked(bool locked);
    bool isLocked() const { return m_locked; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool belongsToWindow(QObject *object) const;

    QPointer<QWidget> m_window;
    bool m_locked = false;
};

} // namespace gradecast
