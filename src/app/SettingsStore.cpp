#include "app/SettingsStore.h"

#include "app/DefaultIni.h"
#include "app/IniFile.h"
#include "app/PathCodec.h"
#include "app/WindowFit.h"
#include "model/ImageValidation.h"

#include <cstdio>

namespace {

QByteArray historyKey(int i)
{
    char key[32];
    std::snprintf(key, sizeof key, "MenuHistory%02i", i);
    return key;
}

} // namespace

int SettingsStore::LanguageCode(int index) { return index == 1 ? 1 : index == 2 ? 3 : 0; }

int SettingsStore::LanguageFromCode(int code, int current)
{
    switch (code) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 3:
        return 2;
    default:
        return current;
    }
}

void SettingsStore::LoadSettings(AppSettings& s, ParamImage& image, std::span<const QRect> monitors) const
{
    IniFile ini;
    ini.Load(paths_.applicationIni());
    const QByteArray sec = SECTION;

    QRect w = s.window;
    w.moveLeft(ini.IntValue(sec, "Left", w.left()));
    w.moveTop(ini.IntValue(sec, "Top", w.top()));
    w.setHeight(ini.IntValue(sec, "Height", w.height()));
    w.setWidth(ini.IntValue(sec, "Width", w.width()));
    s.window = FitWindowRect(w, monitors);

    s.newInstal = ini.IntValue(sec, "NEWINSTAL", 1);
    s.comPort = ini.IntValue(sec, "ComPort", 0);
    s.comPortAuto = ini.IntValue(sec, "ComPortAuto", s.comPortAuto);
    s.language = LanguageFromCode(ini.IntValue(sec, "Language", LanguageCode(s.language)), s.language);

    const QByteArray file = ini.Value(sec, "File").value_or(QByteArray());
    s.file = PathCodec::Decode(file);
    s.iniFileDir = PathCodec::Decode(ini.Value(sec, "IniFileDir").value_or(file));
    s.activePage = ini.IntValue(sec, "PageControl1->ActivePageIndex", s.activePage);
    s.monitorPlayer = ini.IntValue(sec, "MONITORPLAYER", 0) != 0;
    s.mapHeatColours = ini.IntValue(sec, "MapHeatColours", 0) != 0;
    s.knownUnitPort = ini.IntValue(sec, "KnownUnitPort", 0);
    s.knownUnitRow = ini.IntValue(sec, "KnownUnitRow", -1);
    s.knownUnitBaud = ini.IntValue(sec, "KnownUnitBaud", 0);

    s.history.clear();
    for (int i = 0; i < HISTORY_KEYS; ++i) {
        const QString entry = PathCodec::Decode(ini.Value(sec, historyKey(i)).value_or(QByteArray()));
        if (i > 0 && entry.isEmpty())
            break;
        s.history.push_back(entry);
    }

    DefaultIni::Load(paths_.defaultIni(), image);
    OutsideSettings outside { s.language, s.comPort, s.comPortAuto };
    ValidateImage(image, &outside);
    s.language = outside.language;
    s.comPort = outside.forcedPort;
    s.comPortAuto = outside.nextScanPort;
}

bool SettingsStore::SaveSettings(const AppSettings& s, const ParamImage& image, QString* error) const
{
    IniFile ini;
    ini.Load(paths_.applicationIni());
    const QByteArray sec = SECTION;
    ini.SetInt(sec, "Left", s.window.left());
    ini.SetInt(sec, "Top", s.window.top());
    ini.SetInt(sec, "Height", s.window.height());
    ini.SetInt(sec, "Width", s.window.width());
    ini.SetInt(sec, "ComPort", s.comPort);
    ini.SetInt(sec, "ComPortAuto", s.comPortAuto);
    ini.SetInt(sec, "Language", LanguageCode(s.language));
    ini.SetValue(sec, "File", PathCodec::Encode(s.file));
    ini.SetValue(sec, "IniFileDir", PathCodec::Encode(s.iniFileDir));
    ini.SetInt(sec, "PageControl1->ActivePageIndex", s.activePage);
    ini.SetInt(sec, "NEWINSTAL", s.newInstal);
    ini.SetInt(sec, "MONITORPLAYER", s.monitorPlayer ? 1 : 0);
    const int count = static_cast<int>(std::min<qsizetype>(s.history.size(), HISTORY_KEYS));
    for (int i = 0; i < count; ++i)
        ini.SetValue(sec, historyKey(i), PathCodec::Encode(s.history[i]));
    // Entries beyond the count would come back at the next start as stale history.
    for (int i = count; i < HISTORY_KEYS; ++i)
        ini.RemoveKey(sec, historyKey(i));
    ini.SetInt(sec, "KnownUnitPort", s.knownUnitPort);
    ini.SetInt(sec, "KnownUnitRow", s.knownUnitRow);
    ini.SetInt(sec, "KnownUnitBaud", s.knownUnitBaud);
    ini.SetInt(sec, "MapHeatColours", s.mapHeatColours ? 1 : 0);

    QString iniError, defaultError;
    const bool iniSaved = ini.Save(paths_.applicationIni(), &iniError);
    const bool defaultSaved = DefaultIni::Save(paths_.defaultIni(), image, &defaultError);
    if (error) {
        QStringList reasons;
        if (!iniSaved)
            reasons << paths_.applicationIni() + ": " + iniError;
        if (!defaultSaved)
            reasons << paths_.defaultIni() + ": " + defaultError;
        *error = reasons.join('\n');
    }
    return iniSaved && defaultSaved;
}
