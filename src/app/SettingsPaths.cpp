#include "app/SettingsPaths.h"

#include "model/ImageLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Creates base/Motravex/VORDAX4/93 level by level; returns the folder or an empty text.
QString makeLevels(const QString& base)
{
    if (base.isEmpty())
        return {};
    QString folder = QDir::cleanPath(base);
    for (const QString& level : { QString("Motravex"), QString(PRODUCT_WORD), QString::number(PROGRAM_KEY) }) {
        folder += "/" + level;
        if (!QDir().mkpath(folder))
            return {};
    }
    return QFileInfo(folder).isWritable() ? folder + "/" : QString();
}

} // namespace

SettingsPaths SettingsPaths::Below(const QString& base)
{
    SettingsPaths paths;
    paths.folder_ = makeLevels(base);
    return paths;
}

SettingsPaths SettingsPaths::Standard()
{
    // The first of the generic data locations is the user's own; the others are per-machine.
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& location : locations) {
        if (location == user)
            continue;
        if (QFileInfo(location).isWritable())
            if (SettingsPaths machine = Below(location); !machine.folder().isEmpty())
                return machine;
    }
    return Below(user);
}

SettingsPaths SettingsPaths::Chosen()
{
    const QString dir = qEnvironmentVariable("VORDAX4_SETTINGS_DIR");
    return dir.isEmpty() ? Standard() : Below(dir);
}
