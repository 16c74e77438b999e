#pragma once

#include "CliRun.h"
#include "CliTestSupport.h"
#include "TempDir.h"
#include "files/IgnWriter.h"
#include "unitsim/UnitSim.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

// The real vordax4-cli against simulated units, with the history in a file of the scratch folder.
struct HistoryCli : ::testing::Test {
    ScopedWorkDir dir;
    std::vector<std::unique_ptr<UnitSim>> units;
    QString history = QString::fromStdString(dir.file("h.sqlite"));

    UnitSim& StartUnit(uint8_t serialSeed, UnitSimOptions options = {})
    {
        options.storingMs = 300;
        for (int i = 0; i < 8; ++i)
            options.serialNumber[size_t(i)] = uint8_t(serialSeed + i);
        units.push_back(std::make_unique<UnitSim>(options));
        EXPECT_TRUE(units.back()->Start());
        units.back()->SetConfiguration(FileImage(serialSeed, dir).bytes());
        return *units.back();
    }
    static QStringList PortArgs(const UnitSim& unit, int port = 7)
    {
        return { "--port", QString("%1=").arg(port) + QString::fromStdString(unit.DevicePath()), "--timeout", "15" };
    }
    CliRun Run(QStringList args, const UnitSim& unit)
    {
        return RunProgram(args << PortArgs(unit) << "--history" << history);
    }
    CliRun History(QStringList args) { return RunProgram(QStringList { "history" } << args << "--history" << history); }
    QString WriteFile(const std::string& name, const ParamImage& image) const
    {
        const QString path = QString::fromStdString(dir.file(name));
        EXPECT_TRUE(WriteIgnFile(path, image, IgnUnitInfo {}));
        return path;
    }
    static QString Serial(const UnitSim& unit)
    {
        const auto r = unit.ReferenceBlock();
        char text[32];
        std::snprintf(text, sizeof text, "%02i%02i%02i-%02i%02i%02i-%03i%02x", r[46], r[45], r[44], r[43], r[42], r[41],
            r[40], r[39]);
        return text;
    }
    // Two vordax4-cli runs at once: fileA programmed into first, fileB into second, each in its environment.
    void ProgramAtOnce(UnitSim& first, const QString& fileA, UnitSim& second, const QString& fileB,
        const QProcessEnvironment& envA = QProcessEnvironment::systemEnvironment(),
        const QProcessEnvironment& envB = QProcessEnvironment::systemEnvironment())
    {
        QProcess a, b;
        a.setProcessEnvironment(envA);
        b.setProcessEnvironment(envB);
        a.start(VORDAX4_CLI, QStringList { "program", fileA } << PortArgs(first, 7) << "--history" << history);
        b.start(VORDAX4_CLI, QStringList { "program", fileB } << PortArgs(second, 8) << "--history" << history);
        ASSERT_TRUE(a.waitForFinished(60000));
        ASSERT_TRUE(b.waitForFinished(60000));
        EXPECT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
        EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();
    }
    QJsonArray Events(const QString& serial)
    {
        const CliRun r = History({ "--unit", serial, "--json" });
        EXPECT_EQ(r.code, 0) << r.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object()["events"].toArray();
    }
};
