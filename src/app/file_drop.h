#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace gradecast {

// Takes a drop of one file on a widget and hands its path on, once the drop
// is over; a drop of text or of a web address stays the widget's own. A drop
// of several files is refused: which of them was meant? For a scroll area,
// watch its viewport: drag and drop events arrive there.
class FileDrop : public QObject
{
public:
    FileDrop(QWidget *target, std::function<void(const QString &file)> open);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QString &)> m_open;
};

} // namespace gradecast
