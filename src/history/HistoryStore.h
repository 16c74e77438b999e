#pragma once

#include "history/HistoryEvent.h"
#include "history/HistoryRecord.h"
#include "history/HistoryUnit.h"
#include "model/ParamImage.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where the workshop history is kept: the embedded SQLite file of this bench or a database server
// shared by every bench. The window, the command-line tool and the writer's thread use either one
// through this interface. An object is used on one thread only.
class HistoryStore {
public:
    virtual ~HistoryStore() = default;

    // Reaches the history, making it when missing; false with a message when it cannot be had.
    virtual bool Open() = 0;
    // Adds the event and the unit (or brings the unit's last sighting, name and firmware up to date).
    // A store that cannot write now but keeps the event to write it later says true.
    virtual bool Record(const HistoryRecord& record) = 0;
    // Every unit, the most recently seen first, with its count of events.
    virtual std::vector<HistoryUnit> Units() = 0;
    // The unit whose serial number is text, or whose number (id) text is.
    virtual std::optional<HistoryUnit> FindUnit(const std::string& text) = 0;
    // A unit's events, newest first, without their configurations.
    virtual std::vector<HistoryEvent> Events(int64_t unitId) = 0;
    // The configuration an event left; false when it has none or the event does not exist.
    virtual bool Configuration(int64_t eventId, ParamImage& image, int64_t* unitId = nullptr) = 0;
    // Removes the unit and all its events; false with a message when that could not be done.
    virtual bool ForgetUnit(int64_t unitId) = 0;
    // Sends what waits to be written elsewhere; false while that place cannot be reached.
    virtual bool Sync() { return true; }
    // The events that wait on this bench to be written where the history is kept.
    virtual int Waiting() { return 0; }
    // The messages (in the current language) of what went wrong or was repaired since the last call.
    virtual std::vector<std::string> TakeMessages() = 0;
    // The file or the server's address (never with a password), as messages and listings name it.
    virtual QString Location() const = 0;
};
