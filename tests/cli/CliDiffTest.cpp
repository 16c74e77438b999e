#include "CliRun.h"
#include "TempDir.h"
#include "files/IgnWriter.h"
#include "model/FieldFacts.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"
#include "model/MapFacts.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

// Two parameter files in a scratch folder: the start-up settings and an edited copy.
struct CliDiff : testing::Test {
    ScopedWorkDir dir;
    ParamImage base = StartupImage();

    QString Write(const std::string& name, const ParamImage& image)
    {
        const QString path = QString::fromStdString(dir.file(name));
        EXPECT_TRUE(WriteIgnFile(path, image, IgnUnitInfo {}));
        return path;
    }
    // The limiter and one cell of the advance map (kept by speed and throttle) changed.
    ParamImage Edited() const
    {
        ParamImage img = base;
        img.Adrb(TPSIAP_SENSOR) = 1;
        img.Adrb(ADV_MAPA) = 1;
        img.Adrb(LIMITER) = 95;
        img.Adrb(ADVANCE + 10 * 4 + 5) = 140;
        ValidateImage(img);
        return img;
    }
    static QJsonObject Json(const CliRun& r)
    {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << r.out;
        EXPECT_TRUE(doc.isObject());
        return doc.object();
    }
};

TEST_F(CliDiff, ListsWhatDiffersAndExitsZeroOnlyWhenTheFilesAreEqual)
{
    ParamImage withSensor = base;
    withSensor.Adrb(TPSIAP_SENSOR) = 1;
    withSensor.Adrb(ADV_MAPA) = 1;
    const QString a = Write("a.ign", withSensor);
    const QString b = Write("b.ign", Edited());

    CliRun r = RunProgram({ "diff", a, b });
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.out,
        "Limiter [rpm]: 11000 rpm -> 9500 rpm\n"
        "Advance map, TP 20 %, 6000 rpm: 33° -> 40°\n");
    EXPECT_TRUE(r.err.empty()) << r.err;

    r = RunProgram({ "--lang", "de", "diff", b, a });
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out,
        "Begrenzer [rpm]: 9500 rpm -> 11000 rpm\n"
        "Vorzündungskarte, TP 20 %, 6000 rpm: 40° -> 33°\n");

    r = RunProgram({ "diff", a, a });
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "no differences\n");
}

TEST_F(CliDiff, AMissingOrForeignFileOrWrongUsageExitsWithTwo)
{
    const QString a = Write("a.ign", base);
    const QString foreign = QString::fromStdString(dir.file("foreign.ign"));
    {
        QFile f(foreign);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a parameter file\n");
    }
    for (const QStringList& args : { QStringList { "diff", a, QString::fromStdString(dir.file("missing.ign")) },
             QStringList { "diff", foreign, a }, QStringList { "diff", a }, QStringList { "diff", a, a, a },
             QStringList { "diff", a, "--color" } }) {
        const CliRun r = RunProgram(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_FALSE(r.err.empty());
    }
}

TEST_F(CliDiff, JsonCarriesTheSameListForScripts)
{
    const QString a = Write("a.ign", base);
    const QString b = Write("b.ign", Edited());
    const CliRun r = RunProgram({ "diff", "--json", a, b });
    EXPECT_EQ(r.code, 1);
    const QJsonObject doc = Json(r);
    EXPECT_FALSE(doc["equal"].toBool());
    EXPECT_EQ(doc["first"].toString(), a);
    const QJsonArray list = doc["differences"].toArray();
    // The limiter, the sensor, the map's kind and the cell, in the order of the pages.
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list[1].toObject()["field"].toString(), "TPSIAP_SENSOR");
    const QJsonObject limiter = list[0].toObject();
    EXPECT_EQ(limiter["kind"].toString(), "setting");
    EXPECT_EQ(limiter["field"].toString(), "LIMITER");
    EXPECT_EQ(limiter["name"].toString(), "Limiter [rpm]");
    EXPECT_EQ(limiter["first"].toString(), "11000 rpm");
    EXPECT_EQ(limiter["second"].toString(), "9500 rpm");
    EXPECT_EQ(limiter["firstRaw"].toInt(), 110);
    EXPECT_EQ(limiter["byte"].toInt(), LIMITER);
    const QJsonObject cell = list[3].toObject();
    EXPECT_EQ(cell["kind"].toString(), "map-cell");
    EXPECT_EQ(cell["map"].toString(), "Advance map");
    EXPECT_EQ(cell["row"].toInt(), 4);
    EXPECT_EQ(cell["column"].toInt(), 5);
    EXPECT_EQ(cell["second"].toString(), "40°");

    const CliRun same = RunProgram({ "diff", a, a, "--json" });
    EXPECT_EQ(same.code, 0);
    EXPECT_TRUE(Json(same)["equal"].toBool());
    EXPECT_TRUE(Json(same)["differences"].toArray().isEmpty());
}

TEST_F(CliDiff, ShowJsonHoldsEveryFieldAndMap)
{
    const QString b = Write("b.ign", Edited());
    const CliRun r = RunProgram({ "show", b, "--json" });
    ASSERT_EQ(r.code, 0) << r.err;
    const QJsonObject doc = Json(r);
    EXPECT_EQ(doc["file"].toString(), b);
    const QJsonArray fields = doc["fields"].toArray();
    ASSERT_EQ(fields.size(), static_cast<qsizetype>(FieldFacts::All().size()));
    for (const QJsonValue& v : fields) {
        const QJsonObject f = v.toObject();
        const FieldFact* fact = FieldFacts::Find(f["field"].toString().toStdString());
        ASSERT_NE(fact, nullptr);
        EXPECT_EQ(f["values"].toArray().size(), fact->count) << fact->name;
        if (fact == &Fact("LIMITER")) {
            EXPECT_EQ(f["values"].toArray()[0].toInt(), 9500);
            EXPECT_EQ(f["unit"].toString(), "rpm");
        }
        if (fact == &Fact("BIKE")) {
            EXPECT_EQ(f["texts"].toArray()[0].toString(), "Yamaha R6");
        }
    }
    const QJsonArray maps = doc["maps"].toArray();
    ASSERT_EQ(maps.size(), static_cast<qsizetype>(MapFacts::All().size()));
    const QJsonObject advance = maps[0].toObject();
    EXPECT_EQ(advance["field"].toString(), "ADVANCE");
    EXPECT_EQ(advance["rows"].toArray()[4].toString(), "TP 20 %");
    EXPECT_EQ(advance["columns"].toArray()[5].toString(), "6000 rpm");
    EXPECT_EQ(advance["cells"].toArray()[4].toArray()[5].toString(), "40°");
    EXPECT_EQ(RunProgram({ "show", "--json" }).code, 2);
}

} // namespace
