#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Where the program keeps its files, each below "Motravex/VORDAX4/93/":
//   - on Linux the user's own folders of the XDG base directories: the settings (application.ini,
//     default.ini) below $XDG_CONFIG_HOME (~/.config), the workshop history below $XDG_DATA_HOME
//     (~/.local/share), the math-error log IGN.err and a default trace below $XDG_STATE_HOME
//     (~/.local/state); never a folder shared by the machine, also not for root;
//   - on Windows everything in the per-machine application-data folder where the program may
//     write there, else in the per-user one;
//   - everything below VORDAX4_SETTINGS_DIR when a developer or a portable installation names one.
// Each level is created when missing; if no folder can be had, it is empty and the files are
// taken relative to the working folder.
class SettingsPaths {
public:
    // create: the folders are made where missing; without it they are only named (a program that
    // may never write there leaves no empty folders behind).
    // Everything in the one folder below base (empty base: the working folder).
    static SettingsPaths Below(const QString& base, bool create = true);
    // The user's XDG folders as env gives them (HOME and the XDG_*_HOME variables).
    static SettingsPaths Xdg(const QProcessEnvironment& env, bool create = true);
    // The platform's folders of this user.
    static SettingsPaths Standard(bool create = true);
    // The program's folders: below VORDAX4_SETTINGS_DIR when it names one, else the standard ones,
    // into which (when created) the files a version before kept in the data folder are moved once
    // (Moved says which).
    static SettingsPaths Chosen(bool create = true);

    // The folder the versions before kept everything in: the machine's data folder where this
    // user may write there, else the user's own.
    static QString OldFolder();
    // Moves application.ini, default.ini and the history from the folder old into these folders,
    // each only when it is not here yet; returns the files moved.
    QStringList MoveFrom(const QString& old) const;
    const QStringList& Moved() const { return moved_; }
    // A LangString that tells the user where the files went, "" when none moved.
    std::string MovedNote() const;

    // The math-error log and VORDAX4_TRACE=1 write into the state folder; another value of
    // VORDAX4_TRACE still names the trace file itself.
    void OpenLogs() const;

    // The settings folder, with a trailing "/", or empty.
    const QString& folder() const { return config_; }
    const QString& dataFolder() const { return data_; }
    const QString& stateFolder() const { return state_; }
    QString applicationIni() const { return config_ + "application.ini"; }
    QString defaultIni() const { return config_ + "default.ini"; }
    QString historyFile() const;
    QString mathErrorLog() const { return state_ + "IGN.err"; }
    QString traceFile() const { return state_ + "trace.txt"; }

private:
    static QString OldBase();

    QString config_;
    QString data_;
    QString state_;
    QStringList moved_;
};
