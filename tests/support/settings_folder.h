#pragma once

#include "settings/profile_store.h"

#include <QFile>
#include <QTemporaryDir>

#include <filesystem>

namespace gradecast {

// A fresh folder that stands for the program's own folder while this lives:
// the windows read and write their settings file there.
class SettingsFolder
{
public:
    SettingsFolder() { OverrideSettingsFolder(folder()); }
    ~SettingsFolder() { OverrideSettingsFolder(std::nullopt); }

    std::filesystem::path folder() const { return m_dir.path().toStdString(); }
    std::filesystem::path file() const { return folder() / "GRADECAST.INI"; }

    void write(const QByteArray &bytes) const
    {
        QFile out(file());
        if (out.open(QIODevice::WriteOnly))
            out.write(bytes);
    }
    QByteArray read() const
    {
        QFile in(file());
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};

} // namespace gradecast
