#pragma once

#include <QString>

#include <memory>

class HistoryStore;

// Where the history of this bench goes: the SQLite file (the default), or a PostgreSQL server,
// with the bench's outbox beside the file.
struct HistoryLocation {
    // The variable that names the server when no other choice was made.
    static constexpr const char* URL_VARIABLE = "VORDAX4_HISTORY_URL";

    QString file; // the history file of the bench
    QString serverUrl; // empty: the file is the history
    QString bench; // the name the bench's events carry on the server

    bool OnServer() const { return !serverUrl.isEmpty(); }
    // history-outbox.sqlite beside the file.
    QString OutboxPath() const;
    // The store of this location; a reader of the file opens it read-only and never waits.
    std::unique_ptr<HistoryStore> NewStore(bool readOnly = false) const;

    // The server of VORDAX4_HISTORY_URL, empty when it names none.
    static QString UrlFromEnvironment();
    // The bench's history: file in the data folder, and the server chosen in the window (kept in
    // history.ini of the settings folder; an empty choice is the file), else that of
    // VORDAX4_HISTORY_URL.
    static HistoryLocation Chosen(const QString& file, const QString& settingsFolder);
    // Keeps the window's choice of server (its address without a password; empty: the file).
    static bool SaveServerUrl(const QString& settingsFolder, const QString& url);
    // "HOST:1a2b3c4d": the host name and a short identity of the settings folder, so that two
    // users (or two set-ups) on one PC count as two benches and one bench keeps its name.
    static QString BenchOf(const QString& settingsFolder);
};
