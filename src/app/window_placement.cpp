#include "app/window_placement.h"

#include <QEvent>
#include <QSettings>
#include <QWidget>

#include <memory>

namespace gradecast {

namespace {

// In Qt's settings for the user, beside the settings file of an installed program.
std::unique_ptr<QSettings> placementStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("gradecast"), QStringLiteral("window"));
}

const QString GeometryKey = QStringLiteral("geometry");

// Writes the window's placement whenever it is hidden: closed, or the
// program ending with it.
class PlacementKeeper : public QObject
{
public:
    explicit PlacementKeeper(QWidget *window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Hide)
            placementStore()->setValue(GeometryKey, m_window->saveGeometry());
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_window;
};

} // namespace

void KeepWindowPlacement(QWidget *window)
{
    // Qt's own restore moves a place off every screen onto one.
    window->restoreGeometry(placementStore()->value(GeometryKey).toByteArray());
    window->installEventFilter(new PlacementKeeper(window));
}

} // namespace gradecast
