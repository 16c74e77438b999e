#pragma once

#include <QDir>
#include <QTemporaryDir>

#include <string>

// A fresh temporary folder that is also the working folder while the object lives.
class ScopedWorkDir {
public:
    ScopedWorkDir();
    ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

    std::string path() const { return dir_.path().toStdString(); }
    std::string file(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    QTemporaryDir dir_;
    QString previous_;
};
