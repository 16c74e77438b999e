#include "TempDir.h"

#include <QFile>

ScopedWorkDir::ScopedWorkDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }

ScopedWorkDir::~ScopedWorkDir() { QDir::setCurrent(previous_); }

std::string ScopedWorkDir::read(const std::string& name) const
{
    QFile f(QString::fromStdString(file(name)));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}

bool ScopedWorkDir::exists(const std::string& name) const { return QFile::exists(QString::fromStdString(file(name))); }
