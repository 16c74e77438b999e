#include "app/SettingsPaths.h"

#include "base/MathErrors.h"
#include "base/Trace.h"
#include "history/HistoryDatabase.h"
#include "model/ImageLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString levelsBelow(const QString& base);

// Creates base/Motravex/VORDAX4/93 level by level; returns the folder or an empty text.
QString makeLevels(const QString& base, bool create = true)
{
    if (base.isEmpty())
        return {};
    if (!create)
        return levelsBelow(base);
    QString folder = QDir::cleanPath(base);
    for (const QString& level : { QString("Motravex"), QString(PRODUCT_WORD), QString::number(PROGRAM_KEY) }) {
        folder += "/" + level;
        if (!QDir().mkpath(folder))
            return {};
    }
    return QFileInfo(folder).isWritable() ? folder + "/" : QString();
}

QString levelsBelow(const QString& base)
{
    return QDir::cleanPath(base) + "/Motravex/" + PRODUCT_WORD + "/" + QString::number(PROGRAM_KEY) + "/";
}

// An XDG variable counts only with an absolute path; otherwise its default below HOME.
QString xdgHome(const QProcessEnvironment& env, const char* variable, const char* belowHome)
{
    const QString value = env.value(variable);
    if (QDir::isAbsolutePath(value))
        return value;
    const QString home = env.value("HOME");
    return home.isEmpty() ? QString() : home + "/" + belowHome;
}

constexpr const char* MOVED_NOTE = "###Settings and history moved from %1 to %2 and %3"
                                   "##Einstellungen und Historie verschoben von %1 nach %2 und %3"
                                   "##Nastavení a historie přesunuty z %1 do %2 a %3";

} // namespace

SettingsPaths SettingsPaths::Below(const QString& base, bool create)
{
    SettingsPaths paths;
    paths.config_ = makeLevels(base, create);
    paths.data_ = paths.config_;
    paths.state_ = paths.config_;
    return paths;
}

SettingsPaths SettingsPaths::Xdg(const QProcessEnvironment& env, bool create)
{
    SettingsPaths paths;
    paths.config_ = makeLevels(xdgHome(env, "XDG_CONFIG_HOME", ".config"), create);
    paths.data_ = makeLevels(xdgHome(env, "XDG_DATA_HOME", ".local/share"), create);
    paths.state_ = makeLevels(xdgHome(env, "XDG_STATE_HOME", ".local/state"), create);
    return paths;
}

// The data folder the versions before used: the machine's where this user may write there, else
// the user's own (the first of the generic data locations).
QString SettingsPaths::OldBase()
{
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& location : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        if (location != user && QFileInfo(location).isWritable())
            return location;
    return user;
}

QString SettingsPaths::OldFolder()
{
    const QString base = OldBase();
    return base.isEmpty() ? QString() : levelsBelow(base);
}

SettingsPaths SettingsPaths::Standard(bool create)
{
#ifdef Q_OS_WIN
    return Below(OldBase(), create);
#else
    return Xdg(QProcessEnvironment::systemEnvironment(), create);
#endif
}

SettingsPaths SettingsPaths::Chosen(bool create)
{
    const QString dir = qEnvironmentVariable("VORDAX4_SETTINGS_DIR");
    if (!dir.isEmpty())
        return Below(dir, create);
    SettingsPaths paths = Standard(create);
#ifndef Q_OS_WIN
    if (create)
        paths.moved_ = paths.MoveFrom(OldFolder());
#endif
    return paths;
}

QStringList SettingsPaths::MoveFrom(const QString& old) const
{
    QStringList moved;
    if (old.isEmpty() || config_.isEmpty() || data_.isEmpty())
        return moved;
    // The settings go to the config folder, the history (with its SQLite journal) to the data folder.
    const QString history = HistoryDatabase::FILE_NAME;
    const std::pair<QString, const QString&> files[] = { { "application.ini", config_ }, { "default.ini", config_ },
        { history, data_ }, { history + "-wal", data_ }, { history + "-shm", data_ } };
    for (const auto& [name, folder] : files) {
        const QString from = old + name;
        const QString to = folder + name;
        // QFile::rename copies and removes when the folders lie on different file systems.
        if (QFile::exists(from) && !QFile::exists(to) && QFile::rename(from, to))
            moved << name;
    }
    return moved;
}

QString SettingsPaths::historyFile() const { return data_ + HistoryDatabase::FILE_NAME; }

std::string SettingsPaths::MovedNote() const
{
    if (moved_.isEmpty())
        return {};
    return QString(MOVED_NOTE).arg(OldFolder(), config_, data_).toStdString();
}

void SettingsPaths::OpenLogs() const
{
    SetMathErrorLog(mathErrorLog().toStdString());
    if (qEnvironmentVariable("VORDAX4_TRACE") == "1" && QDir().mkpath(stateFolder()))
        Trace::Open(traceFile().toStdString());
    else
        Trace::OpenFromEnvironment();
}
