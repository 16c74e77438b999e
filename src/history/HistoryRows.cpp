#include "history/HistoryRows.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <cstring>

namespace {

constexpr int BENCH_COLUMN = 7;

} // namespace

HistoryUnit HistoryRows::Unit(const QSqlQuery& q)
{
    HistoryUnit u;
    u.id = q.value(0).toLongLong();
    u.serialNumber = q.value(1).toString().toStdString();
    u.name = q.value(2).toString().toStdString();
    u.firmware = q.value(3).toString().toStdString();
    u.firstSeenMs = q.value(4).toLongLong();
    u.lastSeenMs = q.value(5).toLongLong();
    u.events = q.value(6).toInt();
    return u;
}

HistoryEvent HistoryRows::Event(const QSqlQuery& q)
{
    HistoryEvent e;
    e.id = q.value(0).toLongLong();
    e.timeMs = q.value(1).toLongLong();
    const int kind = q.value(2).toInt();
    // A history from elsewhere may hold kinds this program does not know: they show as connections.
    e.kind = kind >= 0 && kind < HISTORY_KINDS ? static_cast<HistoryKind>(kind) : HistoryKind::Connect;
    e.ok = q.value(3).toInt() != 0;
    e.file = q.value(4).toString().toStdString();
    e.hasConfiguration = q.value(5).toInt() != 0;
    e.programVersion = q.value(6).toString().toStdString();
    if (q.record().count() > BENCH_COLUMN)
        e.bench = q.value(BENCH_COLUMN).toString().toStdString();
    return e;
}

bool HistoryRows::Configuration(const QVariant& value, ParamImage& image)
{
    const QByteArray bytes = value.toByteArray();
    if (value.isNull() || bytes.size() != RS_LEN_EXE)
        return false;
    std::memcpy(image.data(), bytes.constData(), RS_LEN_EXE);
    return true;
}

QByteArray HistoryRows::Bytes(const ParamImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.data()), RS_LEN_EXE);
}
