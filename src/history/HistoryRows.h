#pragma once

#include "history/HistoryEvent.h"
#include "history/HistoryUnit.h"

#include <QByteArray>

class QSqlQuery;

// The rows of the history's listings as both stores select them, turned into units and events.
class HistoryRows {
public:
    // Every unit's columns and its count of events, for a WHERE or ORDER BY to follow.
    static constexpr const char* UNIT_COLUMNS
        = "SELECT u.id, u.serial, u.name, u.firmware, u.first_seen, u.last_seen, "
          "(SELECT count(*) FROM events e WHERE e.unit = u.id) FROM units u ";

    static HistoryUnit Unit(const QSqlQuery& q);
    // id, time, kind, ok, file, has a configuration, program and, where the query has it, bench.
    static HistoryEvent Event(const QSqlQuery& q);
    // A stored configuration; false for anything but a whole one.
    static bool Configuration(const QVariant& value, ParamImage& image);
    static QByteArray Bytes(const ParamImage& image);
};
