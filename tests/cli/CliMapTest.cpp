#include "CliRun.h"
#include "TempDir.h"
#include "files/IgnCommands.h"
#include "files/IgnWriter.h"
#include "mapedit/MapImageBinding.h"
#include "mapedit/MapModel.h"
#include "mapedit/ProgramMaps.h"
#include "mapedit/SurfacePalette.h"
#include "model/ImageDefaults.h"

#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <sstream>

namespace {

// A hand-made file: the start-up settings with a two-dimensional advance map over the TP sensor
// whose cell (c, r) holds r + c degrees.
ParamImage HandMadeImage()
{
    ParamImage img = StartupImage();
    img.Adrb(TPSIAP_SENSOR) = 1;
    img.Adrb(ADV_MAPA) = 1;
    for (int r = 0; r < MAP_DIM; ++r)
        for (int c = 0; c < MAP_DIM; ++c)
            img.Adrb(ADVANCE + MAP_DIM * r + c) = static_cast<uint8_t>(100 + r + c);
    return img;
}

class CliMap : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteIgnFile(Path("in.ign"), HandMadeImage(), {})); }
    QString Path(const std::string& name) const { return QString::fromStdString(dir.file(name)); }
    // Runs the map command on in.ign inside the test's folder, where the written files land.
    CliRun Map(QStringList args)
    {
        return RunProgram(QStringList { "map", Path("in.ign") } + args, QProcessEnvironment::systemEnvironment(),
            [this](QProcess& p) { p.setWorkingDirectory(QString::fromStdString(dir.path())); });
    }
    ParamImage Written(const std::string& name) const
    {
        ParamImage img;
        std::ostringstream err;
        EXPECT_TRUE(IgnCommands::Open(Path(name), img, err)) << err.str();
        return img;
    }
    // What the model makes of the same edit on the same file, as the window would store it.
    static ParamImage ModelResult(int c0, int r0, int c1, int r1, MapModel::CellEdit edit, double value)
    {
        ParamImage img = HandMadeImage();
        MapModel tab;
        DefineProgramMap(tab, MapKind::Advance);
        MapImageBinding::LoadAdvanceMap(tab, img, MAP_DIM);
        tab.SetBaseAdvance(img.Adrb(BASE_ADV));
        EXPECT_TRUE(tab.SelectShownCells(c0, r0, c1, r1));
        tab.EditSelectedCells(edit, value);
        MapImageBinding::StoreAdvanceMap(tab, img);
        return img;
    }
    static int Cell(const ParamImage& img, int c, int r) { return img.Adrb(ADVANCE + MAP_DIM * r + c) - 100; }
    ScopedWorkDir dir;
};

TEST_F(CliMap, WritesWhatTheModelMakesOfEachEdit)
{
    const struct {
        QStringList args;
        MapModel::CellEdit edit;
        double value;
    } cases[] = {
        { { "--set", "12.6" }, MapModel::EDIT_SET, 12.6 },
        { { "--add", "-50" }, MapModel::EDIT_ADD, -50 },
        { { "--scale", "250" }, MapModel::EDIT_SCALE, 250 },
        { { "--smooth" }, MapModel::EDIT_SMOOTH, 0 },
    };
    for (const auto& c : cases) {
        const CliRun r = Map(QStringList { "--map", "advance", "--rows", "2:5", "--cols", "3:7" } + c.args
            + QStringList { "-o", "out.ign" });
        ASSERT_EQ(r.code, 0) << r.err;
        const ParamImage written = Written("out.ign");
        const ParamImage expected = ModelResult(2, 1, 6, 4, c.edit, c.value);
        for (int row = 0; row < MAP_DIM; ++row)
            for (int col = 0; col < MAP_DIM; ++col)
                ASSERT_EQ(Cell(written, col, row), Cell(expected, col, row))
                    << c.args.join(' ').toStdString() << " at " << col << "," << row;
        EXPECT_EQ(Cell(written, 1, 1), 2) << "column 2 lies outside the span";
        EXPECT_EQ(Cell(written, 2, 5), 7) << "row 6 lies outside the span";
    }
    EXPECT_EQ(Cell(ModelResult(2, 1, 6, 4, MapModel::EDIT_SET, 12.6), 4, 3), 13) << "rounded to whole degrees";
    EXPECT_EQ(Cell(ModelResult(2, 1, 6, 4, MapModel::EDIT_ADD, -50), 4, 3), -30) << "held at -30 degrees";
}

TEST_F(CliMap, WithoutSpansTheWholeShownTableIsEdited)
{
    const CliRun r = Map({ "--map", "advance", "--set", "60", "-o", "all.ign" });
    ASSERT_EQ(r.code, 0) << r.err;
    const ParamImage written = Written("all.ign");
    for (int row = 0; row < MAP_DIM; ++row)
        for (int c = 0; c < MAP_DIM; ++c)
            ASSERT_EQ(Cell(written, c, row), 60) << c << "," << row;
}

TEST_F(CliMap, RefusesWrongUsageAndWritesNothing)
{
    const QStringList wrong[] = {
        { "--set", "5" },
        { "--set", "5", "--add", "1", "-o", "x.ign" },
        { "--set", "five", "-o", "x.ign" },
        { "--rows", "0:3", "--smooth", "-o", "x.ign" },
        { "--rows", "4:2", "--smooth", "-o", "x.ign" },
        { "--rows", "1:11", "--smooth", "-o", "x.ign" },
        { "--cols", "a:b", "--smooth", "-o", "x.ign" },
        { "--map", "tp", "--smooth", "-o", "x.ign" },
        { "--smooth", "--frobnicate", "-o", "x.ign" },
    };
    for (const QStringList& args : wrong) {
        QStringList line = args;
        if (!line.contains("--map"))
            line = QStringList { "--map", "advance" } + line;
        const CliRun r = Map(line);
        EXPECT_EQ(r.code, 2) << line.join(' ').toStdString();
        EXPECT_FALSE(r.err.empty());
        EXPECT_FALSE(dir.exists("x.ign")) << line.join(' ').toStdString();
    }
    const CliRun missing = RunProgram({ "map", Path("none.ign"), "--map", "servo", "--smooth", "-o", Path("x.ign") });
    EXPECT_EQ(missing.code, 2);
    EXPECT_FALSE(dir.exists("x.ign"));
}

TEST_F(CliMap, AOneRowMapHasOneRow)
{
    ParamImage img = HandMadeImage();
    img.Adrb(ADV_MAPA) = 0;
    ASSERT_TRUE(WriteIgnFile(Path("in.ign"), img, {}));
    EXPECT_EQ(Map({ "--map", "advance", "--rows", "2", "--smooth", "-o", "x.ign" }).code, 2);
    const CliRun r = Map({ "--map", "advance", "--rows", "1", "--cols", "1:3", "--add", "1", "-o", "one.ign" });
    ASSERT_EQ(r.code, 0) << r.err;
    // Without its load axis the map's table shows one row: the file's last.
    const ParamImage written = Written("one.ign");
    EXPECT_EQ(Cell(written, 0, MAP_DIM - 1), MAP_DIM);
    EXPECT_EQ(Cell(written, 3, MAP_DIM - 1), MAP_DIM + 2) << "column 4 lies outside the span";
    EXPECT_EQ(Cell(written, 0, 0), 0);
}

TEST_F(CliMap, HeatColoursFollowThePaletteAndKeepTheTextReadable)
{
    const CliRun plain
        = RunProgram({ "render", Path("in.ign"), "--map", "advance", "--size", "800x500", "-o", Path("plain.png") });
    const CliRun heat = RunProgram(
        { "render", Path("in.ign"), "--map", "advance", "--heat", "--size", "800x500", "-o", Path("heat.png") });
    ASSERT_EQ(plain.code, 0) << plain.err;
    ASSERT_EQ(heat.code, 0) << heat.err;
    EXPECT_EQ(
        RunProgram({ "render", Path("in.ign"), "--map", "advance", "--view", "2d", "--heat", "-o", Path("x.png") })
            .code,
        2);

    // Each value of the file has a colour of its own; 0 degrees stands only in the first cell and
    // 18 only in the last, 9 along a diagonal. 0 lies on a dark blue-green (white text), 9 on green
    // and 18 on yellow (black text).
    const QImage plainPicture(Path("plain.png")), heatPicture(Path("heat.png"));
    const struct {
        int value;
        QRgb text;
    } cells[] = { { 0, qRgb(255, 255, 255) }, { 9, qRgb(0, 0, 0) }, { 18, qRgb(0, 0, 0) } };
    for (const auto& c : cells) {
        const uint32_t palette = SurfacePalette::ValueColor(c.value, -30, 60);
        const QRgb colour = qRgb(palette & 0xFF, (palette >> 8) & 0xFF, (palette >> 16) & 0xFF);
        QRect area;
        int coloured = 0;
        for (int y = 0; y < heatPicture.height(); ++y)
            for (int x = 0; x < heatPicture.width(); ++x)
                if (heatPicture.pixel(x, y) == colour) {
                    ++coloured;
                    area |= QRect(x, y, 1, 1);
                }
        EXPECT_GT(coloured, 300) << "the cells of " << c.value << " degrees";
        EXPECT_EQ(SurfacePalette::NeedsLightText(palette), c.text == qRgb(255, 255, 255));
        int textPixels = 0, plainColoured = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                textPixels += heatPicture.pixel(x, y) == c.text;
                plainColoured += plainPicture.pixel(x, y) == colour;
            }
        EXPECT_GT(textPixels, 5) << "the value is written in the readable colour on " << c.value << " degrees";
        EXPECT_EQ(plainColoured, 0) << "the classic look has no heat";
    }
}

} // namespace
