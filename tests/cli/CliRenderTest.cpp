#include "CliRun.h"
#include "TempDir.h"
#include "files/IgnWriter.h"
#include "mapedit/ui/MapPicture.h"
#include "model/ImageDefaults.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

// A parameter file with the start-up settings: the advance map is one curve over engine speed.
class CliRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteIgnFile(QString::fromStdString(dir.file("in.ign")), StartupImage(), {}));
    }
    CliRun Render(QStringList args)
    {
        return RunProgram(QStringList { "render", QString::fromStdString(dir.file("in.ign")) } + args);
    }
    QImage Picture(const std::string& name) const { return QImage(QString::fromStdString(dir.file(name))); }
    static int Count(const QImage& image, QRgb colour, int fromX = 0)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = fromX; x < image.width(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    }
    ScopedWorkDir dir;
};

TEST_F(CliRender, PaintsTheTableAndTheGraphAsPng)
{
    CliRun r = Render({ "--map", "advance", "-o", "table.png" });
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("table.png: 560 x 300"), std::string::npos) << r.out;
    r = Render({ "--map", "advance", "--view", "2d", "--size", "800x500", "-o", "graph.png" });
    EXPECT_EQ(r.code, 0) << r.err;
    const QImage table = Picture("table.png"), graph = Picture("graph.png");
    ASSERT_EQ(table.size(), QSize(560, 300)) << "the size the editor has on its page";
    ASSERT_EQ(graph.size(), QSize(800, 500));
    const QRgb limiterZone = qRgb(0xDD, 0xDD, 0xDD), curve = qRgb(0xFF, 0, 0);
    EXPECT_GT(Count(graph, limiterZone), 1000) << "the limiter's grey zone";
    EXPECT_GT(Count(graph, curve), 300) << "the red curve";
    EXPECT_GT(Count(table, curve), 100) << "the one-row table shows its curve below it";
}

TEST_F(CliRender, PaintsThe3DGraphFromTheChosenAnglesInTheChosenSurface)
{
    CliRun r = Render({ "--map", "advance", "--view", "3d", "--size", "800x500", "-o", "iso2.png" });
    EXPECT_EQ(r.code, 0) << r.err;
    r = Render({ "--map", "advance", "--view", "3d", "--angles", "-90,0,0", "--surface", "0", "--size", "800x500",
        "-o", "wire.png" });
    EXPECT_EQ(r.code, 0) << r.err;
    r = Render({ "--map", "advance", "--view", "3d", "--angles", "-90,0,0", "--size", "800x500", "-o", "top.png" });
    EXPECT_EQ(r.code, 0) << r.err;
    const QImage iso2 = Picture("iso2.png"), wire = Picture("wire.png"), top = Picture("top.png");
    ASSERT_EQ(iso2.size(), QSize(800, 500));
    // Right of the 3D panel (which holds the colour scale): palette entries 15 (blue) and 52
    // (red) of the map's low and high advance, and the lines of the wire model.
    const int drawing = 10 + 140;
    const QRgb blue = qRgb(0, 0, 0xFF), red = qRgb(0xFF, 0, 0), wireLine = qRgb(0x40, 0x40, 0x40);
    EXPECT_GT(Count(iso2, blue, drawing), 50);
    EXPECT_GT(Count(iso2, red, drawing), 50);
    EXPECT_GT(Count(wire, wireLine, drawing), 500);
    EXPECT_EQ(Count(wire, red, drawing) + Count(wire, blue, drawing), 0) << "outlines only";
    EXPECT_GT(Count(top, red, drawing), 50);
    EXPECT_NE(top, iso2) << "another view";
}

TEST_F(CliRender, EveryMapOfTheHelpCanBePaintedInEveryLanguage)
{
    const CliRun help = RunProgram({ "help", "render" });
    EXPECT_EQ(help.code, 0);
    for (const MapPicture::Map& map : MapPicture::Maps()) {
        EXPECT_NE(help.out.find(map.name), std::string::npos) << map.name;
        const std::string out = std::string(map.name) + ".png";
        const CliRun r = Render({ "--map", map.name, "-o", QString::fromStdString(out) });
        EXPECT_EQ(r.code, 0) << map.name << ": " << r.err;
        EXPECT_EQ(Picture(out).size(), QSize(map.width, map.height)) << map.name;
    }
    ASSERT_EQ(Render({ "--lang", "de", "--map", "advance", "-o", "de.png" }).code, 0);
    ASSERT_EQ(Render({ "--map", "advance", "-o", "en.png", "--lang", "en" }).code, 0);
    EXPECT_NE(Picture("de.png"), Picture("en.png")) << "the German labels differ";
}

TEST_F(CliRender, RunsWithoutADisplay)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    p.setProcessEnvironment(env);
    p.start(VORDAX4_CLI,
        { "render", QString::fromStdString(dir.file("in.ign")), "--map", "servo", "--view", "2d", "-o", "s.png" });
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_EQ(Picture("s.png").size(), QSize(560, 300));
}

TEST_F(CliRender, WrongUsageAndUnreadableFilesAreRefused)
{
    struct Case {
        QStringList args;
        int code;
    } cases[] = {
        { { "--map", "nitro", "-o", "x.png" }, 2 },
        { { "--map", "advance" }, 2 },
        { { "--map", "advance", "--view", "4d", "-o", "x.png" }, 2 },
        { { "--map", "advance", "--view", "3d", "--angles", "-25,120", "-o", "x.png" }, 2 },
        { { "--map", "advance", "--view", "3d", "--angles", "-24,120,0", "-o", "x.png" }, 2 },
        { { "--map", "advance", "--view", "3d", "--surface", "6", "-o", "x.png" }, 2 },
        { { "--map", "advance", "--view", "2d", "--surface", "1", "-o", "x.png" }, 2 },
        { { "--map", "tp", "--view", "3d", "-o", "x.png" }, 1 },
        { { "--map", "advance", "--size", "800", "-o", "x.png" }, 2 },
        { { "--map", "advance", "--size", "10x10", "-o", "x.png" }, 2 },
        { { "--map", "advance", "--colour", "red", "-o", "x.png" }, 2 },
        { { "--map", "advance", "-o", "no-such-folder/x.png" }, 1 },
        { { "--map", "advance", "--reference", "missing.ign", "-o", "x.png" }, 2 },
        { { "--map", "advance", "--reference" }, 2 },
    };
    for (const Case& c : cases) {
        const CliRun r = Render(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(r.err.empty());
    }
    const CliRun missing = RunProgram({ "render", "missing.ign", "--map", "advance", "-o", "x.png" });
    EXPECT_EQ(missing.code, 2);
    EXPECT_FALSE(dir.exists("x.png"));
}

// A reference whose advance map lies three degrees higher in its fifth column (in every row, as
// the map over speed alone shows one of them).
TEST_F(CliRender, AReferenceIsDrawnAsTheWindowDrawsIt)
{
    ParamImage other = StartupImage();
    for (int row = 0; row < MAP_DIM; ++row)
        other.Adrb(ADVANCE + MAP_DIM * row + 4) += 3;
    ASSERT_TRUE(WriteIgnFile(QString::fromStdString(dir.file("ref.ign")), other, {}));
    const QRgb mark = qRgb(0x99, 0, 0x99);
    struct Case {
        const char* view;
        int least; // reference pixels at least
    } cases[] = { { "table", 10 }, { "2d", 30 }, { "3d", 30 } };
    for (const Case& c : cases) {
        const std::string plain = std::string(c.view) + "-plain.png", compared = std::string(c.view) + "-ref.png";
        CliRun r = Render({ "--map", "advance", "--view", c.view, "--size", "800x500", "-o",
            QString::fromStdString(plain) });
        EXPECT_EQ(r.code, 0) << r.err;
        r = Render({ "--map", "advance", "--view", c.view, "--size", "800x500", "--reference",
            QString::fromStdString(dir.file("ref.ign")), "-o", QString::fromStdString(compared) });
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(Count(Picture(plain), mark), 0) << c.view;
        EXPECT_GE(Count(Picture(compared), mark), c.least) << c.view;
    }
}

} // namespace
