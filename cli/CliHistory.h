#pragma once

#include "CliCommand.h"
#include "history/HistoryLocation.h"

#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CliUnitSession;
class HistoryWriter;

// The workshop history of the unit commands: read, verify and program record their events in the
// history of the settings folder, the one the window keeps too (--history FILE names another file,
// --history postgresql://… or VORDAX4_HISTORY_URL a server shared by the benches, --no-history
// leaves them out). Writing happens beside the command and never fails it: while the server is
// away the events wait in the bench's outbox.
class CliHistory {
public:
    CliHistory();
    ~CliHistory();

    // Takes --no-history and --history FILE|URL out of args; false with a message when FILE is
    // missing or URL is no usable server address.
    bool TakeOptions(std::vector<std::string>& args, CliIo& io);
    // Records the commands session carries out. A command's event names its unit, so the connection
    // before it is not recorded separately. file: the parameter file involved, asked when the event
    // is written. Sessions of several threads may be attached.
    void Attach(CliUnitSession& session, std::function<std::string()> file);
    // Waits until the events are written and prints on err what went wrong with the history, and
    // how many events wait for the server.
    void Finish(CliIo& io);

    // The history file: FILE of --history, else history.sqlite in the data folder; a note on err
    // when the files of the old folder were moved.
    static QString DefaultPath(CliIo& io);
    const QString& path() const { return location_.file; }
    const HistoryLocation& location() const { return location_; }

private:
    bool enabled_ = true;
    HistoryLocation location_;
    std::mutex mutex_;
    std::unique_ptr<HistoryWriter> writer_;
};
