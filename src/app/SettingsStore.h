#pragma once

#include "app/AppSettings.h"
#include "app/SettingsPaths.h"
#include "model/ParamImage.h"

#include <QRect>

#include <span>

// application.ini (section "FORM_HLAV") and default.ini in the settings folder.
class SettingsStore {
public:
    static constexpr const char* SECTION = "FORM_HLAV";
    static constexpr int HISTORY_KEYS = 10;

    explicit SettingsStore(SettingsPaths paths)
        : paths_(std::move(paths))
    {
    }

    const SettingsPaths& paths() const { return paths_; }

    // Reads every key over settings (which holds the present values: a missing "Left", "Top",
    // "Height", "Width", "ComPortAuto", "Language" or page keeps them; the other keys fall back
    // to their defaults), fits the window onto the monitors, reads default.ini into the image
    // and validates the image together with the language and the port settings.
    void LoadSettings(AppSettings& settings, ParamImage& image, std::span<const QRect> monitors) const;

    // Writes every key in order, then default.ini, each through a temporary file. Keys of other
    // sections are kept. Returns false and the reasons in error when a file could not be written;
    // the previous file then stays as it was.
    bool SaveSettings(const AppSettings& settings, const ParamImage& image, QString* error = nullptr) const;

    // The stored language code: Czech (index 2) is stored as 3.
    static int LanguageCode(int index);
    // The language index of a stored code; an unknown code keeps current.
    static int LanguageFromCode(int code, int current);

private:
    SettingsPaths paths_;
};
