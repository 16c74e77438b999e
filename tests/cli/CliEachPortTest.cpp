#include "CliRun.h"
#include "CliTestSupport.h"
#include "TempDir.h"
#include "unitsim/UnitSim.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

// One result line of --each: "COM<n> TAB device TAB name TAB serial TAB OK|FAILED TAB message".
struct ResultLine {
    std::string port, device, name, serial, verdict, message;
};

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> cells;
    size_t from = 0;
    for (size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
        cells.push_back(line.substr(from, tab - from));
    cells.push_back(line.substr(from));
    return cells;
}

// Simulated units on pseudo-terminals, one per COM number, run by the test process so that each
// unit's memory can be looked at after the real vordax4-cli has worked on all of them at once.
struct CliEach : testing::Test {
    ScopedWorkDir dir;
    std::map<int, std::unique_ptr<UnitSim>> units;
    ParamImage before = FileImage(3, dir);
    ParamImage wanted = FileImage(11, dir);

    void AddUnit(int port, UnitSimOptions options)
    {
        options.storingMs = 300;
        auto unit = std::make_unique<UnitSim>(options);
        ASSERT_TRUE(unit->Start());
        unit->SetConfiguration(before.bytes());
        units[port] = std::move(unit);
    }
    void AddGoodUnit(int port, const std::string& name)
    {
        UnitSimOptions o;
        o.name = name;
        AddUnit(port, o);
    }
    QStringList PortArgs() const
    {
        QStringList args;
        for (const auto& [port, unit] : units)
            args << "--port" << QString("%1=%2").arg(port).arg(QString::fromStdString(unit->DevicePath()));
        return args;
    }
    QString File(const std::string& name) const { return QString::fromStdString(dir.file(name)); }
    QString Write(const std::string& name, const ParamImage& image) const
    {
        EXPECT_TRUE(WriteIgnFile(File(name), image, IgnUnitInfo {}));
        return File(name);
    }
    // The result lines by port, and the summary line.
    static std::map<std::string, ResultLine> Results(const std::string& out, std::string* summary = nullptr)
    {
        std::map<std::string, ResultLine> results;
        for (const std::string& line : Lines(out)) {
            if (line.starts_with("summary: ")) {
                if (summary)
                    *summary = line;
                continue;
            }
            const std::vector<std::string> c = Split(line);
            EXPECT_EQ(c.size(), 6u) << line;
            if (c.size() == 6)
                results[c[0]] = { c[0], c[1], c[2], c[3], c[4], c[5] };
        }
        return results;
    }
};

TEST_F(CliEach, ProgramEachProgramsEveryUnitThatAnswersAndReportsTheOthers)
{
    AddGoodUnit(1, "UNIT ONE");
    AddGoodUnit(2, "UNIT TWO");
    UnitSimOptions silent;
    silent.silent = true;
    AddUnit(3, silent);
    UnitSimOptions lossy;
    lossy.name = "LOSSY";
    lossy.dropShare = 0.3;
    lossy.seed = 7;
    AddUnit(4, lossy);

    const CliRun r
        = RunProgram(QStringList { "program", Write("batch.ign", wanted), "--each", "--timeout", "10" } << PortArgs());
    EXPECT_EQ(r.code, 1) << "a port failed\n" << r.out << r.err;
    std::string summary;
    const auto results = Results(r.out, &summary);
    ASSERT_EQ(results.size(), 4u) << r.out;

    for (const char* port : { "COM1", "COM2" }) {
        const ResultLine& line = results.at(port);
        EXPECT_EQ(line.verdict, "OK") << port << ": " << line.message;
        EXPECT_EQ(line.message, "Program device: OK");
        EXPECT_EQ(line.serial, "080706-050403-00201");
    }
    EXPECT_EQ(results.at("COM1").name, "UNIT ONE");
    EXPECT_EQ(results.at("COM2").device, units[2]->DevicePath());
    EXPECT_EQ(units[1]->Configuration(), wanted.bytes());
    EXPECT_EQ(units[2]->Configuration(), wanted.bytes());

    const ResultLine& none = results.at("COM3");
    EXPECT_EQ(none.verdict, "FAILED");
    EXPECT_EQ(none.message, "no unit found within 10 s");
    EXPECT_EQ(none.name, "-");
    EXPECT_TRUE(Has(r.err, "COM3: no unit found")) << r.err;
    EXPECT_FALSE(Has(r.err, "COM1:")) << "a port that succeeded says nothing more";
    EXPECT_EQ(units[3]->WritesReceived(), 0);

    // Whatever the lossy line's fate, a port reported as programmed holds the file.
    int programmed = 0;
    for (const auto& [port, line] : results) {
        if (line.verdict != "OK")
            continue;
        ++programmed;
        EXPECT_EQ(units[std::stoi(port.substr(3))]->Configuration(), wanted.bytes()) << port;
    }
    EXPECT_EQ(summary,
        "summary: " + std::to_string(programmed) + " of 4 ports OK, " + std::to_string(4 - programmed) + " failed");

    // The silent port's wait for an answer does not hold the others up: their lines come first.
    const auto lines = Lines(r.out);
    const auto at = [&](const char* port) {
        return std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(port); });
    };
    EXPECT_LT(at("COM1"), at("COM3"));
    EXPECT_LT(at("COM2"), at("COM3"));
}

TEST_F(CliEach, EveryPortSucceedingExitsZeroAndJsonListsThePorts)
{
    AddGoodUnit(5, "UNIT FIVE");
    AddGoodUnit(6, "UNIT SIX");
    CliRun r = RunProgram(QStringList { "program", Write("batch.ign", wanted), "--each", "--json" } << PortArgs());
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    QJsonParseError parse;
    const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &parse).object();
    ASSERT_EQ(parse.error, QJsonParseError::NoError) << r.out;
    EXPECT_EQ(doc["succeeded"].toInt(), 2);
    EXPECT_EQ(doc["failed"].toInt(), 0);
    const QJsonArray ports = doc["ports"].toArray();
    ASSERT_EQ(ports.size(), 2);
    EXPECT_EQ(ports[0].toObject()["port"].toInt(), 5);
    EXPECT_EQ(ports[1].toObject()["name"].toString(), "UNIT SIX");
    EXPECT_TRUE(ports[1].toObject()["ok"].toBool());
    for (const auto& [port, unit] : units)
        EXPECT_EQ(unit->Configuration(), wanted.bytes()) << port;

    // Verify on every port; one unit then loses the limiter setting and only its port fails.
    auto changed = wanted.bytes();
    changed[LIMITER] = uint8_t(changed[LIMITER] == 80 ? 90 : 80);
    units[6]->SetConfiguration(changed);
    r = RunProgram(QStringList { "verify", File("batch.ign"), "--each" } << PortArgs());
    EXPECT_EQ(r.code, 1);
    const auto results = Results(r.out);
    EXPECT_EQ(results.at("COM5").message, "Verify: OK");
    EXPECT_EQ(results.at("COM6").message, "Verify error !");
    EXPECT_TRUE(Has(r.err, "COM6:   Limiter [rpm]: ")) << r.err;
}

TEST_F(CliEach, ReadEachWritesEveryUnitsConfigurationIntoTheFolder)
{
    AddGoodUnit(1, "UNIT ONE");
    AddGoodUnit(2, "UNIT TWO");
    units[2]->SetConfiguration(wanted.bytes());
    ASSERT_TRUE(QDir(QString::fromStdString(dir.path())).mkdir("units"));
    const CliRun r = RunProgram(QStringList { "read", "-o", File("units"), "--each" } << PortArgs());
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    const auto results = Results(r.out);
    for (const auto& [port, unit] : units) {
        const std::string name = "units/COM" + std::to_string(port) + "-080706-050403-00201.ign";
        EXPECT_EQ(results.at("COM" + std::to_string(port)).message, "written to " + dir.file(name));
        ParamImage read;
        std::ostringstream err;
        ASSERT_TRUE(IgnCommands::Open(File(name), read, err)) << err.str();
        EXPECT_EQ(read.bytes(), unit->Configuration()) << port;
    }
}

TEST_F(CliEach, PortsNamedTwiceOrAMissingFolderAreRefused)
{
    AddGoodUnit(1, "UNIT ONE");
    const QString device = QString::fromStdString(units[1]->DevicePath());
    const QString file = Write("batch.ign", wanted);
    for (const QStringList& args :
        { QStringList { "program", file, "--each", "--port", "1=" + device, "--port", "1=" + device },
            QStringList { "read", "-o", File("no-folder"), "--each", "--port", "1=" + device },
            QStringList { "program", file, "--each", "--port", "0=" + device },
            QStringList { "reset", "--each", "--port", "1=" + device } }) {
        const CliRun r = RunProgram(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    EXPECT_EQ(units[1]->WritesReceived(), 0);
}

} // namespace

// A unit pulled out in the middle of a step is reported by what happened, never by the bare
// title of the step it was in ("Reference read:").
TEST_F(CliEach, AUnitPulledOutMidStepIsReportedByWhatHappened)
{
    for (int read : { 1, 3 }) {
        units.clear();
        UnitSimOptions pulled;
        pulled.unplugAtRead = read;
        AddUnit(1, pulled);
        const CliRun r = RunProgram(QStringList { "program", Write("batch.ign", wanted), "--each", "--timeout", "5" } << PortArgs());
        EXPECT_EQ(r.code, 1) << r.out << r.err;
        const auto results = Results(r.out);
        ASSERT_EQ(results.count("COM1"), 1u) << r.out;
        const std::string& message = results.at("COM1").message;
        EXPECT_EQ(results.at("COM1").verdict, "FAILED");
        EXPECT_FALSE(message.empty());
        EXPECT_NE(message.back(), ':') << read << ": " << message;
    }
}
