#pragma once

#include "model/ParamImage.h"

#include <cstdint>
#include <string>

// What happened to a unit: the connection, or one of the commands that move its configuration.
enum class HistoryKind : int { Connect = 0, Read = 1, Verify = 2, Program = 3 };
constexpr int HISTORY_KINDS = 4;

// The name of a kind in the command-line tool's output: "connect", "read", "verify", "program".
const char* HistoryKindName(HistoryKind kind);
// The kind's text in the current language.
const char* HistoryKindText(HistoryKind kind);

// One event of a unit's history.
struct HistoryEvent {
    int64_t id = 0;
    int64_t timeMs = 0; // milliseconds since 1970 (UTC)
    HistoryKind kind = HistoryKind::Connect;
    bool ok = false;
    std::string file; // the parameter file involved, if any
    // The unit's configuration after the event, where it is known (a failed command leaves it unknown).
    bool hasConfiguration = false;
    ParamImage configuration;
    std::string programVersion;
    // The bench that wrote it (host name and settings folder); empty in a history of one bench.
    std::string bench;
    // Made once when the event happens, so that an event sent twice is kept once.
    std::string uid;
};
