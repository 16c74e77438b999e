#pragma once

#include "history/HistoryDatabase.h"
#include "history/HistoryRecord.h"
#include "link/UnitInfo.h"

#include "TempDir.h"

#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <string>

// Records made by hand, as the connection manager's reports would make them, in a history file of
// a scratch folder.
struct HistoryFixture {
    ScopedWorkDir dir;
    QString path = QString::fromStdString(dir.file("history.sqlite"));

    static UnitInfo Unit(const std::string& serial, const std::string& name = "VDX04", int minor = 0)
    {
        UnitInfo info;
        info.name = name;
        info.serialNumber = serial;
        info.firmwareDate = " 7. 8.2019";
        info.firmwareTime = "14:05";
        info.versionMajor = 93;
        info.versionMinor = minor;
        return info;
    }
    static ParamImage Image(int seed)
    {
        ParamImage image;
        for (int a = 0; a < RS_LEN_EXE; ++a)
            image.Adrb(a) = uint8_t(a * 3 + seed);
        return image;
    }
    static HistoryRecord Record(const UnitInfo& unit, ConnectionHost::CommandKind kind, bool ok,
        const ParamImage* config, int64_t timeMs, const std::string& file = {})
    {
        HistoryRecord r = HistoryRecord::Make(kind, ok, config, unit, file);
        r.event.timeMs = r.unit.firstSeenMs = r.unit.lastSeenMs = timeMs;
        return r;
    }
    QByteArray Bytes(const QString& file) const
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void WriteBytes(const QString& file, const QByteArray& bytes) const
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};
