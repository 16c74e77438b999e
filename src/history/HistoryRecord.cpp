#include "history/HistoryRecord.h"

#include "base/BuildInfo.h"
#include "base/ProductIdentity.h"
#include "link/UnitInfo.h"

#include <QDateTime>
#include <QUuid>

#include <cstdio>

std::string HistoryProgramVersion()
{
    char version[64];
    std::snprintf(
        version, sizeof version, "%d.%02d (%s)", PROGRAM_KEY, PROGRAM_SUBVERSION, ProgramCompileDate().c_str());
    return version;
}

HistoryRecord HistoryRecord::Make(
    ConnectionHost::CommandKind kind, bool ok, const ParamImage* unit, const UnitInfo& info, const std::string& file)
{
    HistoryRecord r;
    r.unit = HistoryUnit::FromUnitInfo(info);
    r.event.timeMs = QDateTime::currentMSecsSinceEpoch();
    static_assert(int(ConnectionHost::CommandProgram) == int(HistoryKind::Program));
    r.event.kind = static_cast<HistoryKind>(kind);
    r.event.ok = ok;
    r.event.file = file;
    r.event.hasConfiguration = unit != nullptr;
    if (unit)
        r.event.configuration = *unit;
    r.event.programVersion = HistoryProgramVersion();
    r.event.uid = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    r.unit.firstSeenMs = r.unit.lastSeenMs = r.event.timeMs;
    return r;
}
