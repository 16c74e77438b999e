#include "model/ImageDefaults.h"
#include "monitor/MonitorCsv.h"
#include "CliRun.h"
#include "CliTestSupport.h"
#include "TempDir.h"
#include "link/LinkCommands.h"
#include "unitsim/UnitSim.h"
#include "files/IgnCommands.h"
#include "files/IgnWriter.h"
#include "model/ImageValidation.h"
#include "monitor/IgnlogFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

namespace {



std::string Cell(const std::string& row, int column)
{
    size_t from = 0;
    for (int c = 0; c < column; ++c)
        from = row.find(',', from) + 1;
    return row.substr(from, row.find(',', from) - from);
}


// The real vordax4-cli against a simulated unit on a pseudo-terminal that the test process runs,
// so the unit's memory can be looked at before and after.
struct CliUnit : ::testing::Test {
    ScopedWorkDir dir;
    std::unique_ptr<UnitSim> unit;
    ParamImage unitImage;

    void StartUnit(UnitSimOptions options = {})
    {
        options.storingMs = 300;
        unit = std::make_unique<UnitSim>(options);
        ASSERT_TRUE(unit->Start());
        unitImage = FileImage(3, dir);
        unit->SetConfiguration(unitImage.bytes());
    }
    QStringList PortArgs() const
    {
        return { "--port", "7=" + QString::fromStdString(unit->DevicePath()), "--timeout", "15" };
    }
    CliRun Run(QStringList args) { return RunProgram(args << PortArgs()); }
    // A run that writes the link's trace to tracePath.
    CliRun RunTraced(QStringList args, const QString& tracePath)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VORDAX4_TRACE", tracePath);
        return RunProgram(args << PortArgs(), env);
    }
    QString File(const std::string& name) const { return QString::fromStdString(dir.file(name)); }
    QString WriteFile(const std::string& name, const ParamImage& image) const
    {
        EXPECT_TRUE(WriteIgnFile(File(name), image, IgnUnitInfo {}));
        return File(name);
    }
    ParamImage OpenFile(const std::string& name) const
    {
        ParamImage image;
        std::ostringstream err;
        EXPECT_TRUE(IgnCommands::Open(File(name), image, err)) << err.str();
        return image;
    }
};

TEST_F(CliUnit, ReadWritesTheUnitsConfigurationToAFile)
{
    StartUnit();
    ASSERT_NE(unitImage, StartupImage()) << "the unit holds something of its own";
    const CliRun r = Run({ "read", "-o", File("unit.ign") });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Verify: OK")) << r.out;
    EXPECT_TRUE(Has(r.err, "100 %")) << "progress goes to the error stream";
    EXPECT_EQ(OpenFile("unit.ign").bytes(), unit->Configuration());

    const CliRun failed = Run({ "read", "-o", File("missing-folder/unit.ign") });
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(Has(failed.err, "cannot write")) << failed.err;
    EXPECT_EQ(Run({ "read", "unit.ign" }).code, 2) << "-o names the file";
}

TEST_F(CliUnit, VerifySucceedsOnlyWhileTheUnitHoldsTheFile)
{
    StartUnit();
    const QString file = WriteFile("same.ign", unitImage);
    CliRun r = Run({ "verify", file });
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Verify: OK")) << r.out;

    r = Run({ "--lang", "de", "verify", file });
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Vergleichen: OK")) << r.out;

    auto changed = unit->Configuration();
    changed[LIMITER] = uint8_t(changed[LIMITER] == 80 ? 90 : 80);
    unit->SetConfiguration(changed);
    r = Run({ "verify", file });
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Has(r.err, "Verify error !")) << r.err;
    EXPECT_TRUE(Has(r.out, "1 of 400 bytes")) << "the differences are the result: " << r.out;

    EXPECT_EQ(Run({ "verify", File("missing.ign") }).code, 2);
    EXPECT_EQ(unit->Configuration(), changed) << "verify writes nothing";
}

TEST_F(CliUnit, VerifyListsTheOneChangedFieldAsTextOrJson)
{
    StartUnit();
    ParamImage edited = unitImage;
    edited.Adrb(LIMITER) = uint8_t(edited.Adrb(LIMITER) == 80 ? 90 : 80);
    const std::string fileValue = std::to_string(edited.Adrb(LIMITER) * 100) + " rpm";
    const std::string unitValue = std::to_string(unitImage.Adrb(LIMITER) * 100) + " rpm";
    const QString file = WriteFile("edited.ign", edited);

    CliRun r = Run({ "verify", file });
    EXPECT_EQ(r.code, 1);
    const std::vector<std::string> err = Lines(r.err);
    ASSERT_NE(std::find(err.begin(), err.end(), "Verify error !"), err.end()) << r.err;
    // The list is a result: on standard output, after the result line, like a successful verify's.
    const std::vector<std::string> out = Lines(r.out);
    ASSERT_GE(out.size(), 2u) << r.out;
    EXPECT_TRUE(Has(out[out.size() - 2], "1 of 400 bytes")) << r.out;
    EXPECT_EQ(out.back(), "  Limiter [rpm]: " + fileValue + " -> " + unitValue);
    EXPECT_FALSE(Has(r.err, "Limiter")) << r.err;

    r = Run({ "--lang", "cs", "verify", file, "--json" });
    EXPECT_EQ(r.code, 1);
    QJsonParseError parse;
    const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &parse).object();
    ASSERT_EQ(parse.error, QJsonParseError::NoError) << r.out;
    EXPECT_FALSE(doc["ok"].toBool());
    EXPECT_EQ(doc["result"].toString(), "Chyba verifikace !");
    EXPECT_EQ(doc["unit"].toObject()["name"].toString(), "VORDAX4 SIM");
    EXPECT_EQ(doc["unit"].toObject()["port"].toInt(), 7);
    const QJsonArray list = doc["differences"].toArray();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].toObject()["name"].toString(), "Omezovač [rpm]");
    EXPECT_EQ(list[0].toObject()["second"].toString().toStdString(), unitValue);

    r = Run({ "verify", WriteFile("same.ign", unitImage), "--json" });
    EXPECT_EQ(r.code, 0) << r.err;
    const QJsonObject same = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    EXPECT_TRUE(same["ok"].toBool());
    EXPECT_TRUE(same["differences"].toArray().isEmpty());
}

TEST_F(CliUnit, IdentifyJsonNamesThePortAndTheUnit)
{
    StartUnit();
    const CliRun r = Run({ "identify", "--json" });
    ASSERT_EQ(r.code, 0) << r.err;
    const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    EXPECT_TRUE(doc["found"].toBool());
    EXPECT_EQ(doc["port"].toInt(), 7);
    EXPECT_EQ(doc["device"].toString().toStdString(), unit->DevicePath());
    EXPECT_EQ(doc["protocol"].toString(), "IGN100");

    const CliRun none = RunProgram({ "identify", "--json", "--port", "7=" + File("no-such-tty"), "--timeout", "1" });
    EXPECT_EQ(none.code, 1);
    EXPECT_FALSE(QJsonDocument::fromJson(QByteArray::fromStdString(none.out)).object()["found"].toBool());
}

TEST_F(CliUnit, ProgramWritesTheFileAllOrOnlyTheChangedBytes)
{
    StartUnit();
    const ParamImage wanted = FileImage(11, dir);
    ASSERT_NE(wanted, unitImage);
    CliRun r = Run({ "program", WriteFile("new.ign", wanted) });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Program device: OK")) << r.out;
    EXPECT_EQ(unit->Configuration(), wanted.bytes());
    const int allFrames = unit->WritesReceived();

    ParamImage edited = wanted;
    edited.Adrb(LIMITER) = uint8_t(edited.Adrb(LIMITER) == 80 ? 90 : 80);
    ValidateImage(edited);
    ASSERT_NE(edited, wanted);
    r = Run({ "program", WriteFile("edited.ign", edited), "--changed-only" });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Program device: OK")) << r.out;
    EXPECT_EQ(unit->Configuration(), edited.bytes());
    const int changedFrames = unit->WritesReceived() - allFrames;
    EXPECT_GE(changedFrames, 1);
    EXPECT_LT(changedFrames, allFrames) << "only the frames holding the changed byte are written";

    r = Run({ "program", File("edited.ign"), "--changed-only" });
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "nothing to program")) << r.out;
    EXPECT_EQ(unit->WritesReceived(), allFrames + changedFrames);
}

namespace {

// How often the tool's trace says that it sent a request again: an answer that a busy machine
// took too late for is the protocol's own retry, not a transfer the command asked for.
int RetriesInTrace(const QString& path)
{
    QFile trace(path);
    return trace.open(QIODevice::ReadOnly) ? static_cast<int>(trace.readAll().count("COM timeout or redirection"))
                                           : 0;
}

} // namespace

// A command reads only what it needs: the reference block once, then its own transfers (IGN100
// carries 100 bytes a frame, so four frames are one whole configuration). Requests beyond those
// are allowed only as retries the tool's trace names.
TEST_F(CliUnit, ReadVerifyAndProgramReadTheReferenceOnceAndTheConfigurationOnlyForThemselves)
{
    StartUnit();
    const ParamImage wanted = FileImage(11, dir);
    const struct {
        const char* name;
        QStringList args;
        int configurationReads, writes;
    } cases[] = {
        { "read", { "read", "-o", File("unit.ign") }, 8, 0 },
        { "verify", { "verify", WriteFile("same.ign", unitImage) }, 4, 0 },
        { "program", { "program", WriteFile("new.ign", wanted) }, 4, 4 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int references = unit->ReferenceReadsAnswered(), reads = unit->ConfigurationReadsReceived(),
                  writes = unit->WritesReceived();
        const QString trace = File(std::string(c.name) + "-trace.txt");
        const CliRun r = RunTraced(c.args, trace);
        ASSERT_EQ(r.code, 0) << r.err;
        const int referenceRequests = unit->ReferenceReadsAnswered() - references;
        const int readRequests = unit->ConfigurationReadsReceived() - reads;
        const int writeRequests = unit->WritesReceived() - writes;
        EXPECT_GE(referenceRequests, 1);
        EXPECT_GE(readRequests, c.configurationReads);
        EXPECT_GE(writeRequests, c.writes);
        const int beyond = referenceRequests - 1 + readRequests - c.configurationReads + writeRequests - c.writes;
        EXPECT_LE(beyond, RetriesInTrace(trace)) << "requests beyond the command's own that were no retries";
    }
    EXPECT_EQ(OpenFile("unit.ign"), unitImage);
    EXPECT_EQ(unit->Configuration(), wanted.bytes());
}

TEST_F(CliUnit, AnIgn50UnitCanBeReadVerifiedAndProgrammed)
{
    UnitSimOptions o;
    o.protocol = PROTOCOL_IGN50;
    StartUnit(o);
    CliRun r = Run({ "read", "-o", File("unit.ign") });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Verify: OK")) << r.out;
    EXPECT_EQ(OpenFile("unit.ign").bytes(), unit->Configuration());

    r = Run({ "verify", File("unit.ign") });
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Verify: OK")) << r.out;

    const ParamImage wanted = FileImage(11, dir);
    r = Run({ "program", WriteFile("new.ign", wanted) });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Program device: OK")) << r.out;
    EXPECT_EQ(unit->Configuration(), wanted.bytes());
}

TEST_F(CliUnit, DisagreeingReferenceReadsOfAnIgn50UnitFail)
{
    UnitSimOptions o;
    o.protocol = PROTOCOL_IGN50;
    o.alteredReads = -1;
    StartUnit(o);
    // Programming only the changed bytes reads the unit as the window does, reference block twice.
    const CliRun r = Run({ "program", "--changed-only", WriteFile("same.ign", unitImage) });
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(Has(r.err, "Reference read error !")) << r.err;
}

TEST_F(CliUnit, ProgramWarnsOfMissingSettingsAndStrictRefusesTheFile)
{
    StartUnit();
    const std::string complete = IgnFileText(FileImage(11, dir), IgnUnitInfo {});
    QFile cut(File("cut.ign"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(complete.substr(0, complete.find("SERVO_ENABLE")).c_str());
    cut.close();
    const auto before = unit->Configuration();

    CliRun r = Run({ "program", File("cut.ign"), "--strict" });
    EXPECT_EQ(r.code, 2) << "a refused input";
    EXPECT_TRUE(Has(r.err, "settings are missing from the file")) << r.err;
    EXPECT_TRUE(Has(r.err, "--strict refuses it")) << r.err;
    EXPECT_FALSE(Has(r.out, "Program device: OK")) << r.out;
    EXPECT_EQ(unit->WritesReceived(), 0);
    EXPECT_EQ(unit->Configuration(), before);

    r = Run({ "program", File("cut.ign") });
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "warning: ")) << r.err;
    EXPECT_TRUE(Has(r.err, "take the bike's defaults")) << r.err;
    EXPECT_TRUE(Has(r.out, "Program device: OK")) << r.out;

    r = Run({ "verify", File("cut.ign") });
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "settings are missing from the file")) << r.err;
}

TEST_F(CliUnit, AWriteTheUnitDoesNotKeepFailsTheProgramCommand)
{
    UnitSimOptions o;
    o.ignoreWrites = true;
    StartUnit(o);
    const CliRun r = Run({ "program", WriteFile("new.ign", FileImage(11, dir)) });
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Has(r.err, "Verify error !")) << r.err;
    EXPECT_FALSE(Has(r.out, "Program device: OK")) << r.out;
    EXPECT_EQ(unit->Configuration(), unitImage.bytes());
}

TEST_F(CliUnit, ResetSendsTheResetCommand)
{
    StartUnit();
    const QString trace = File("reset-trace.txt");
    const CliRun r = RunTraced({ "reset" }, trace);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_GE(unit->ResetsReceived(), 1);
    EXPECT_LE(unit->ResetsReceived() - 1, RetriesInTrace(trace)) << "a second reset only as a retry";
    EXPECT_EQ(Run({ "reset", "now" }).code, 2);
}

TEST_F(CliUnit, MonitorRecordsAndLogExportGivesTheSameRows)
{
    StartUnit();
    const CliRun live = Run({ "monitor", "--seconds", "1.5", "--record", File("run.ignlog"), "--csv" });
    ASSERT_EQ(live.code, 0) << live.err;
    const std::vector<std::string> liveLines = Lines(live.out);
    ASSERT_GE(liveLines.size(), 3u) << live.out;
    EXPECT_EQ(liveLines[0], MonitorCsv::Header());
    EXPECT_EQ(liveLines[0].rfind("time [s],MON_RPM [rpm],MON_SENSOR_MV [mV],MON_SUPPLY_MV [V],MON_SERVO1 [mV]", 0), 0u);

    const CliRun exported = RunProgram({ "log-export", File("run.ignlog") });
    ASSERT_EQ(exported.code, 0) << exported.err;
    const std::vector<std::string> rows = Lines(exported.out);
    ASSERT_EQ(rows.size(), liveLines.size()) << "one row per monitor record";
    EXPECT_EQ(rows[0], liveLines[0]);
    const auto withoutTime = [](const std::string& row) { return row.substr(row.find(',')); };
    double previous = -1;
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(withoutTime(rows[i]), withoutTime(liveLines[i])) << i;
        const double t = std::stod(rows[i]);
        EXPECT_GT(t, previous);
        previous = t;
        // The simulated unit's supply stays at 13.8 V +- 0.15 V; the cell is in volts.
        EXPECT_NEAR(std::stod(Cell(rows[i], 3)), 13.8, 0.16) << rows[i];
    }

    IgnlogFile log;
    QFile f(File("run.ignlog"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    ASSERT_EQ(log.parse(std::vector<uint8_t>(raw.begin(), raw.end())), IgnlogFile::ParseError::None);
    EXPECT_EQ(log.snapshotCount(), 4) << "unit, image, unit mirror and pages";
    EXPECT_EQ(log.totalCount() - log.snapshotCount(), int(rows.size()) - 1);
    // A replay shows the recording's configuration: it must be the unit's, not a blank image.
    for (const int type : { ignlog::REC_IMAGE, ignlog::REC_MIRROR }) {
        int index = 0;
        while (index < log.totalCount() && log.recordType(index) != type)
            ++index;
        ASSERT_LT(index, log.totalCount()) << "record type " << type;
        const uint8_t* payload = log.record(index) + ignlog::R_PAYLOAD;
        EXPECT_TRUE(std::equal(payload, payload + RS_LEN_EXE, unit->Configuration().begin())) << "type " << type;
    }
}

TEST_F(CliUnit, MonitorWithoutCsvShowsTheProgramsLabels)
{
    StartUnit();
    const CliRun r = Run({ "--lang", "cs", "monitor", "--seconds", "1" });
    ASSERT_EQ(r.code, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("RPM = ", 0), 0u) << lines[0];
    EXPECT_TRUE(Has(lines[0], "U = 13.")) << lines[0];
    for (const char* bad : { "x", "nan", "-1", "1e9" })
        EXPECT_EQ(Run({ "monitor", "--seconds", bad }).code, 2) << bad;
}

TEST(CliLogExport, DamagedOrForeignLogsAreRefused)
{
    ScopedWorkDir dir;
    const auto write = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        QFile f(QString::fromStdString(dir.file(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        return QString::fromStdString(dir.file(name));
    };
    // A header without records, then one monitor record.
    std::vector<uint8_t> good(ignlog::HEADER_BASE + 2, 0);
    ignlog::put16(&good[ignlog::H_LENGTH], ignlog::HEADER_BASE + 2);
    ignlog::put16(&good[ignlog::H_RS_KEY], 93);
    ignlog::put16(&good[ignlog::H_TOTAL_COUNT], 1);
    ignlog::put32(&good[ignlog::H_AREA_LENGTH], 108);
    std::vector<uint8_t> record(108, 0);
    ignlog::put16(&record[0], 108);
    record[ignlog::R_TYPE] = ignlog::REC_MONITOR;
    ignlog::put32(&record[ignlog::R_TIME], 1500);
    ignlog::put16(&record[ignlog::R_PAYLOAD + 2 * MON_RPM], 4321);
    good.insert(good.end(), record.begin(), record.end());

    CliRun r = RunProgram({ "log-export", write("good.ignlog", good) });
    ASSERT_EQ(r.code, 0) << r.err;
    const auto rows = Lines(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].rfind("1.500,4321,0,0.000,", 0), 0u) << rows[1];

    std::vector<uint8_t> foreign = good;
    ignlog::put16(&foreign[ignlog::H_RS_KEY], 92);
    r = RunProgram({ "log-export", write("foreign.ignlog", foreign) });
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(Has(r.err, "RS keys are not equal (92!=93)")) << r.err;
    EXPECT_TRUE(r.out.empty());

    const std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
    std::vector<uint8_t> badRecord = good;
    badRecord[ignlog::HEADER_BASE + 2 + ignlog::R_TYPE] = 9;
    for (const auto& [name, bytes] : { std::pair { "truncated.ignlog", truncated }, { "record.ignlog", badRecord } }) {
        r = RunProgram({ "log-export", write(name, bytes) });
        EXPECT_EQ(r.code, 2) << name;
        EXPECT_TRUE(Has(r.err, "damaged")) << r.err;
        EXPECT_TRUE(r.out.empty()) << name;
    }
    EXPECT_EQ(RunProgram({ "log-export", QString::fromStdString(dir.file("none.ignlog")) }).code, 2);
}

TEST_F(CliUnit, WithoutAUnitOrWithAnotherVersionTheCommandsFail)
{
    // A device that never existed: a closed pseudo-terminal's name may meanwhile belong to another test.
    const QStringList port { "--port", "7=" + File("no-such-tty"), "--timeout", "1" };
    for (const QStringList& args : { QStringList { "read", "-o", File("x.ign") }, QStringList { "reset" },
             QStringList { "monitor", "--seconds", "1" } }) {
        const CliRun r = RunProgram(QStringList(args) << port);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        // Nothing can answer on a device that is not there, so the search says so at once.
        EXPECT_TRUE(Has(r.err, "COM7: " + File("no-such-tty").toStdString() + " cannot be opened: the device is gone"))
            << r.err;
        EXPECT_TRUE(Has(r.err, NO_PORT_OPENS_TEXT)) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    EXPECT_FALSE(QFile::exists(File("x.ign")));

    UnitSimOptions o;
    o.firmwareMinor = 1;
    StartUnit(o);
    const CliRun r = Run({ "read", "-o", File("x.ign") });
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Has(r.err, "Unmatched subversion of PC and Ignition programs!  PC-93.00, IGN-93.01")) << r.err;
    EXPECT_FALSE(QFile::exists(File("x.ign")));
}

} // namespace
