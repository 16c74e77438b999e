#pragma once

#include "history/HistoryStore.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

// The workshop history kept in an SQLite file: the units met and their events. Several programs may
// use the same file at once (the window and command-line runs): the file is in WAL mode and waits for
// another writer up to a busy time-out. A file that turns out not to be a sound database is moved
// aside under a name with a time stamp and a new one is started; that costs a message, never the
// command that wanted to write. Use an object on one thread only (each has its own connection).
//
// The history names the units of the user's customers: its folder is closed to others (0700) and
// its files are the user's alone (0600), also those of earlier versions, tightened on opening. An
// object that only lists opens the file read-only and never waits for a writer.
class HistoryDatabase : public HistoryStore {
public:
    enum class Access { ReadWrite, ReadOnly };

    static constexpr const char* FILE_NAME = "history.sqlite";
    static constexpr int BUSY_TIMEOUT_MS = 5000;
    // The listings as they are run: every unit, the most recently seen first, with its count of
    // events; and one unit's events (the unit bound to the ?), newest first.
    static QString UnitsQuery();
    static QString EventsQuery();

    explicit HistoryDatabase(const QString& path, Access access = Access::ReadWrite);
    ~HistoryDatabase() override;
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    // Opens the file, creating it and its tables when missing; false with a message when no
    // database can be had there.
    bool Open() override;
    bool IsOpen() const { return open_; }
    const QString& path() const { return path_; }
    QString Location() const override { return path_; }

    // Adds the event and the unit (or brings the unit's last sighting, name and firmware up to date).
    bool Record(const HistoryRecord& record) override;
    // Every unit, the most recently seen first, with its count of events.
    std::vector<HistoryUnit> Units() override;
    // The unit whose serial number is text, or whose number (id) text is.
    std::optional<HistoryUnit> FindUnit(const std::string& text) override;
    // A unit's events, newest first, without their configurations.
    std::vector<HistoryEvent> Events(int64_t unitId) override;
    // The configuration an event left; false when it has none or the event does not exist.
    bool Configuration(int64_t eventId, ParamImage& image, int64_t* unitId = nullptr) override;
    // Removes the unit and all its events, and erases them from the file: false, with a message,
    // while another program still reads the old pages after the busy time-out. The unit is also
    // erased from the damaged copies set aside; a copy where it cannot be is named in a message.
    bool ForgetUnit(int64_t unitId) override;

    // The messages (in the current language) of what went wrong or was repaired since the last call.
    std::vector<std::string> TakeMessages() override;

    // The folder of file 0700 and file 0600 (made when missing), with its companions named in others.
    static void MakePrivate(const QString& file, const QStringList& others);

private:
    QSqlDatabase Connection() const;
    bool OpenOnce();
    bool Prepare();
    void Close();
    // A file that is no database, or a damaged one, is moved aside and a new one opened.
    bool Damaged(const QSqlError& error) const;
    bool MoveAsideAndReopen();
    // The whole file reads as a database should.
    bool Sound();
    bool SwitchToWal();
    bool Exec(QSqlQuery& query);
    // Notes a failed statement (a damaged file, or a message); returns false.
    bool Report(const QSqlError& error);
    bool Exec(const QString& statement);
    void Fail(const QSqlError& error);
    bool RecordOnce(const HistoryRecord& record);
    // The folder 0700 and the file and its companions 0600, the file made when missing.
    void MakePrivate() const;

    QStringList AsideCopies() const;
    // Folds the log into the file and empties it, waiting for readers up to the busy time-out.
    bool CheckpointFully(const QSqlDatabase& db);
    void ForgetInAsideCopies(const QString& identity, const QString& serial);
    bool ForgetInCopy(const QString& copy, const QString& identity);
    bool DeleteUnit(int64_t unitId);

    QString path_;
    Access access_;
    QString connection_;
    bool open_ = false;
    bool lastDamaged_ = false;
    std::vector<std::string> messages_;
};
