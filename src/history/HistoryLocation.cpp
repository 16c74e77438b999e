#include "history/HistoryLocation.h"

#include "history/HistoryDatabase.h"
#include "history/HistoryOutbox.h"
#include "history/HistoryServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSysInfo>

namespace {

constexpr int FOLDER_ID_CHARS = 8;
constexpr const char* SETTINGS_FILE = "history.ini";
constexpr const char* SERVER_KEY = "History/ServerUrl";

QString SettingsFile(const QString& settingsFolder) { return QDir(settingsFolder).filePath(SETTINGS_FILE); }

} // namespace

QString HistoryLocation::OutboxPath() const { return QFileInfo(file).dir().filePath(HistoryOutbox::FILE_NAME); }

std::unique_ptr<HistoryStore> HistoryLocation::NewStore(bool readOnly) const
{
    if (OnServer())
        return std::make_unique<HistoryServer>(serverUrl, OutboxPath(), bench);
    return std::make_unique<HistoryDatabase>(
        file, readOnly ? HistoryDatabase::Access::ReadOnly : HistoryDatabase::Access::ReadWrite);
}

QString HistoryLocation::UrlFromEnvironment() { return qEnvironmentVariable(URL_VARIABLE).trimmed(); }

QString HistoryLocation::BenchOf(const QString& settingsFolder)
{
    const QString folder = QDir::cleanPath(QFileInfo(settingsFolder).absoluteFilePath());
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QSysInfo::machineHostName() + ":" + QString::fromLatin1(hash.left(FOLDER_ID_CHARS));
}

HistoryLocation HistoryLocation::Chosen(const QString& file, const QString& settingsFolder)
{
    const QSettings settings(SettingsFile(settingsFolder), QSettings::IniFormat);
    const QString url
        = settings.contains(SERVER_KEY) ? settings.value(SERVER_KEY).toString() : UrlFromEnvironment();
    return { file, url, url.isEmpty() ? QString() : BenchOf(settingsFolder) };
}

bool HistoryLocation::SaveServerUrl(const QString& settingsFolder, const QString& url)
{
    QSettings settings(SettingsFile(settingsFolder), QSettings::IniFormat);
    settings.setValue(SERVER_KEY, url);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
