#include "support/settings_folder.h"

#include "settings/profile_store.h"

#include <QFile>

namespace gradecast {

SettingsFolder::SettingsFolder() { OverrideSettingsFolder(folder()); }

SettingsFolder::~SettingsFolder() { OverrideSettingsFolder(std::nullopt); }

void SettingsFolder::write(const QByteArray &bytes) const
{
    QFile out(file());
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

QByteArray SettingsFolder::read() const
{
    QFile in(file());
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

} // namespace gradecast
