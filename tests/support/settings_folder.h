#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include <filesystem>

namespace gradecast {

// A fresh folder that stands for the program's own folder while this lives:
// the windows read and write their settings file there.
class SettingsFolder
{
public:
    SettingsFolder();
    ~SettingsFolder();

    std::filesystem::path folder() const { return m_dir.path().toStdString(); }
    std::filesystem::path file() const { return folder() / "GRADECAST.INI"; }

    void write(const QByteArray &bytes) const;
    QByteArray read() const;
    bool exists() const { return std::filesystem::exists(file()); }

private:
    QTemporaryDir m_dir;
};

} // namespace gradecast
