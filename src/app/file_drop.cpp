#include "app/file_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <algorithm>

namespace gradecast {

FileDrop::FileDrop(QWidget *target, std::function<void(const QString &)> open)
    : QObject(target)
    , m_open(std::move(open))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QList<QUrl> urls = drop->mimeData()->urls();
    const auto isFile = [](const QUrl &url) { return url.isLocalFile(); };
    if (urls.isEmpty() || !std::all_of(urls.begin(), urls.end(), isFile))
        return false;
    if (urls.size() != 1) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    // Not inside the drop: the program the file came from waits for it to end.
    if (type == QEvent::Drop)
        QTimer::singleShot(0, this, [this, file = urls.first().toLocalFile()] { m_open(file); });
    return true;
}

} // namespace gradecast
