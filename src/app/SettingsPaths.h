#pragma once

#include <QString>

// The settings folder "<data folder>/Motravex/VORDAX4/93/" and the files in it. The data folder
// is the per-machine application-data folder where the program may write there, else the
// per-user one. Each of the three levels is created when missing; if no folder can be had, the
// folder is empty and the files are taken relative to the working folder.
class SettingsPaths {
public:
    // The folder below the platform's data folder (QStandardPaths).
    static SettingsPaths Standard();
    // The folder below base (empty base: the working folder).
    static SettingsPaths Below(const QString& base);
    // The program's folder: below VORDAX4_SETTINGS_DIR when a developer or a portable installation
    // names one, else the standard one.
    static SettingsPaths Chosen();

    // With a trailing "/", or empty.
    const QString& folder() const { return folder_; }
    QString applicationIni() const { return folder_ + "application.ini"; }
    QString defaultIni() const { return folder_ + "default.ini"; }

private:
    QString folder_;
};
