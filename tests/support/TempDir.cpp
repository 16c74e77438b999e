#include "TempDir.h"

#include <QFile>

// The folder is also the program's settings folder, so no test reads or writes the user's settings.
ScopedWorkDir::ScopedWorkDir() : previous_(QDir::currentPath())
{
    QDir::setCurrent(dir_.path());
    qputenv("VORDAX4_SETTINGS_DIR", dir_.path().toUtf8());
}

ScopedWorkDir::~ScopedWorkDir()
{
    QDir::setCurrent(previous_);
    qunsetenv("VORDAX4_SETTINGS_DIR");
}

std::string ScopedWorkDir::read(const std::string& name) const
{
    QFile f(QString::fromStdString(file(name)));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}

bool ScopedWorkDir::exists(const std::string& name) const { return QFile::exists(QString::fromStdString(file(name))); }
