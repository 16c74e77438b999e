#include "app/IniFile.h"
#include "app/SettingsStore.h"
#include "model/ImageDefaults.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any bytes as application.ini: the settings are read without a crash and the history stays within
// its keys; the key file writes back a text that reads the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    static const SettingsStore store(SettingsPaths::Below(dir.path()));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile f(store.paths().applicationIni());
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 0;
    }
    AppSettings settings;
    ParamImage image;
    ResetDefaults(image, PAGE_ALL);
    const QRect monitors[] = { QRect(0, 0, 1920, 1080) };
    store.LoadSettings(settings, image, monitors);
    if (settings.history.size() > SettingsStore::HISTORY_KEYS)
        std::abort();

    IniFile ini;
    ini.Parse(bytes);
    const QByteArray text = ini.Text();
    IniFile again;
    again.Parse(text);
    if (again.Text() != text)
        std::abort();
    return 0;
}
