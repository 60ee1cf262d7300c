#include "support/settings_folder.h"

#include "settings/profile_store.h"

#include <QFile>

namespace gradecast {

SettingsFolder::SettingsFolder()
{
    OverrideSettingsFolder(folder());
}

SettingsFolder::~SettingsFolder()
{
    OverrideSettingsFolder(std::nullopt);
}

std::filesystem::path SettingsFolder::folder() const
{
    return m_dir.path().toStdString();
}

std::filesystem::path SettingsFolder::file() const
{
    return folder() / "GRADECAST.INI";
}

void SettingsFolder::write(const QByteArray &bytes) const
{
    QFile out(QString::fromStdString(file().string()));
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

QByteArray SettingsFolder::read() const
{
    QFile in(QString::fromStdString(file().string()));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

bool SettingsFolder::exists() const
{
    return QFile::exists(QString::fromStdString(file().string()));
}

} // namespace gradecast
