#include "PdfPages.h"
#include "app/FileMenu.h"
#include "app/MainWindow.h"
#include "app/WindowLanguage.h"
#include "files/IgnWriter.h"
#include "lang/LangString.h"
#include "mapedit/FormatAxisValue.h"
#include "mapedit/MapImageBinding.h"
#include "model/ImageDefaults.h"
#include "model/ImageLayout.h"
#include "model/ImageValidation.h"
#include "print/MapPageLayout.h"
#include "print/MapsPrinter.h"
#include "print/PrintCommands.h"

#include "TempDir.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

QString Number(int raw, double scale) { return QString::fromStdString(FormatAxisValue(raw, scale, "", false)); }

// VORDAX4_KEEP_PDF=PREFIX keeps a copy of each printout for looking at.
void Keep(const QString& pdf, const QString& name)
{
    if (const QByteArray keep = qgetenv("VORDAX4_KEEP_PDF"); !keep.isEmpty())
        QFile::copy(pdf, QString::fromUtf8(keep) + "-" + name + ".pdf");
}

// A table's rows as the printout reads: the header row after the corner, then each row's header
// followed by its cells, left to right.
QStringList TableLines(const QString& corner, const QStringList& columns, const QStringList& rows,
    const std::function<QString(int row, int column)>& cell)
{
    QStringList lines { corner + " " + columns.join(' ') };
    for (int r = 0; r < rows.size(); ++r) {
        QStringList line { rows[r] };
        for (int c = 0; c < columns.size(); ++c)
            line << cell(r, c);
        lines << line.join(' ');
    }
    return lines;
}

// The rows of the load axis: the fixed throttle points with a TP sensor, else the pressures at
// words pressures.
QStringList LoadRows(const ParamImage& img, int pressures)
{
    QStringList rows;
    for (int i = 0; i < MAP_DIM; ++i)
        rows << Number(img.Adrb(TPSIAP_SENSOR) == 1 ? MapImageBinding::TpLoadPoints[i] : img.Adrw(pressures + i), 1);
    return rows;
}

// A grid (advance or servo) of img as its table shows it.
QStringList GridLines(const ParamImage& img, int speeds, int cells, int pressures, int offset, double scale)
{
    QStringList columns;
    for (int i = 0; i < MAP_DIM; ++i)
        columns << Number(img.Adrb(speeds + i), 100);
    const QString corner = img.Adrb(TPSIAP_SENSOR) == 1 ? "TP [%] \\ RPM" : "IAP [kPa] \\ RPM";
    return TableLines(corner, columns, LoadRows(img, pressures),
        [&](int r, int c) { return Number(img.Adrb(cells + MAP_DIM * r + c) + offset, scale); });
}

// "< a", "a – b", ..., "> z": the regions between count points.
QStringList Regions(int count, const std::function<int(int)>& point)
{
    QStringList regions { "< " + Number(point(0), 1) };
    for (int i = 1; i < count; ++i)
        regions << Number(point(i - 1), 1) + " – " + Number(point(i), 1);
    return regions << "> " + Number(point(count - 1), 1);
}

// The switching map of the first power output: a region of speed by a region of throttle.
QStringList PowerOutLines(const ParamImage& img)
{
    const QStringList columns = Regions(3, [&](int i) { return img.Adrb(POWER_OUT_RPM + i) * 100; });
    const QStringList rows = Regions(2, [&](int j) { return int(img.Adrw(POWER_OUT_TP + j)); });
    return TableLines("TP [%] \\ RPM", columns, rows,
        [&](int r, int c) { return QString::number((img.Adrb(POWER_OUT_CELLS + r) >> c) & 1); });
}

struct MapsPrintFixture : testing::Test {
    ScopedWorkDir dir;
    std::unique_ptr<MainWindow> form;
    int kept = 0;

    void SetUp() override
    {
        LanguageIndex = LANG_ENGLISH;
        form = std::make_unique<MainWindow>(std::vector<std::string> {}, [](const std::string&) {});
    }
    QString path(const char* name) const { return QString::fromStdString(dir.file(name)); }

    // Opens img in the window as a file and prints its maps; returns the image as the window has it.
    ParamImage Open(const std::function<void(ParamImage&)>& set)
    {
        ParamImage img = StartupImage();
        set(img);
        ValidateImage(img, nullptr);
        const QString file = path("maps.ign");
        EXPECT_TRUE(WriteIgnFile(file, img, {}));
        EXPECT_TRUE(form->Files().OpenParameterFile(PAGE_ALL, file).accepted());
        return img;
    }
    QString PrintMaps()
    {
        QString error;
        EXPECT_TRUE(PrintCommands::WritePdf(*form, path("maps.pdf"), PrintScope::Maps, "head", &error))
            << error.toStdString();
        Keep(path("maps.pdf"),
            QString("%1-%2").arg(testing::UnitTest::GetInstance()->current_test_info()->name()).arg(++kept));
        return PdfPages::Text(path("maps.pdf"));
    }
};

void Distinct(ParamImage& img)
{
    img.Adrb(TPSIAP_SENSOR) = 1;
    img.Adrb(ADV_MAPA) = 1;
    for (int i = 0; i < MAP_DIM; ++i) {
        img.Adrb(RPM_ADV + i) = static_cast<uint8_t>(10 + 9 * i);
        img.Adrb(SERVO_RPM + i) = static_cast<uint8_t>(12 + 11 * i);
    }
    for (int k = 0; k < MAP_DIM * MAP_DIM; ++k) {
        img.Adrb(ADVANCE + k) = static_cast<uint8_t>(100 - 29 + (k * 7) % 88); // -29 .. 58 degrees
        img.Adrb(SERVO_MV + k) = static_cast<uint8_t>((k * 13) % 250);
    }
}

TEST_F(MapsPrintFixture, EveryValueOfTheMapsInUseIsPrintedInItsPlaceAndNoOtherMap)
{
    if (!PdfPages::CanReadText())
        GTEST_SKIP() << "pdftotext is not installed";
    const struct {
        const char* name;
        std::function<void(ParamImage&)> set;
        std::function<QStringList(const ParamImage&)> lines;
        std::vector<const char*> absent; // titles of the maps not in use
    } cases[] = {
        { "TP sensor, servo, power out 1",
            [](ParamImage& img) {
                Distinct(img);
                img.Adrb(SERVO_ENABLE) = 1;
                img.Adrb(SERVO_MAPA) = 2;
                img.Adrb(SERVO_PERCENT) = 0;
                img.Adrb(POWER_OUT_MODE) = POWER_OUT_SPECIAL;
                img.Adrb(POWER_OUT_MODE + 1) = POWER_OUT_OFF;
                img.Adrb(POWER_OUT_CELLS) = 0b0101;
                img.Adrb(POWER_OUT_CELLS + 2) = 0b1010;
            },
            [](const ParamImage& img) {
                return GridLines(img, RPM_ADV, ADVANCE, ADV_IAP, -100, 1)
                    + GridLines(img, SERVO_RPM, SERVO_MV, SERVO_IAP, 0, 0.02) + PowerOutLines(img)
                    + TableLines("TP [%]", { "Voltage [V]" }, { "0", "100" },
                        [&](int r, int) { return Number(img.Adrw(TPS + r), 0.001); })
                    + QStringList { "Columns: RPM Rows: TP [%] Values: Advance [°]", "Values: STPS [V]",
                          "Values: 1 = on, 0 = off", "Advance", "Servo", "TP sensor", "Power out 1 (pin 3)" };
            },
            { "IAP sensor", "Power out 2" } },
        { "IAP sensor, servo switched off, no power output with a map",
            [](ParamImage& img) {
                Distinct(img);
                img.Adrb(TPSIAP_SENSOR) = 2;
                img.Adrb(SERVO_ENABLE) = 0;
                img.Adrb(POWER_OUT_MODE) = POWER_OUT_OFF;
                img.Adrb(POWER_OUT_MODE + 1) = POWER_OUT_FUEL_PUMP;
                for (int i = 0; i < MAP_DIM; ++i)
                    img.Adrw(ADV_IAP + i) = static_cast<uint16_t>(20 + 8 * i);
            },
            [](const ParamImage& img) {
                return GridLines(img, RPM_ADV, ADVANCE, ADV_IAP, -100, 1)
                    + TableLines("P [kPa]", { "Voltage [V]" },
                        { Number(img.Adrw(IAP_SENSOR), 1), Number(img.Adrw(IAP_SENSOR + 2), 1) },
                        [&](int r, int) { return Number(img.Adrw(IAP_SENSOR + 2 * r + 1), 0.001); })
                    + QStringList { "Columns: RPM Rows: IAP [kPa] Values: Advance [°]", "IAP sensor" };
            },
            { "Servo", "TP sensor", "Power out" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ParamImage img = Open(c.set);
        const QString text = PrintMaps();
        for (const QString& line : c.lines(img))
            EXPECT_TRUE(text.contains(line)) << "\"" << line.toStdString() << "\" is missing: " << text.toStdString();
        for (const char* title : c.absent)
            EXPECT_FALSE(text.contains(title)) << title << " is not in use: " << text.toStdString();
    }
}

TEST_F(MapsPrintFixture, AMapKeptAsOneCurvePrintsOneRowAndTheTextsFollowTheLanguage)
{
    if (!PdfPages::CanReadText())
        GTEST_SKIP() << "pdftotext is not installed";
    const ParamImage img = Open([](ParamImage& img) {
        Distinct(img);
        img.Adrb(ADV_MAPA) = 0;
    });
    form->Language().SetLanguage(LANG_GERMAN);
    const QString text = PrintMaps();
    form->Language().SetLanguage(LANG_ENGLISH);
    QStringList columns;
    QStringList cells { "Vorzündung [°]" };
    for (int c = 0; c < MAP_DIM; ++c) {
        columns << Number(img.Adrb(RPM_ADV + c), 100);
        cells << Number(img.Adrb(ADVANCE + MAP_DIM * (MAP_DIM - 1) + c) - 100, 1);
    }
    EXPECT_TRUE(text.contains("RPM " + columns.join(' ') + " " + cells.join(' '))) << text.toStdString();
    // No row axis is named: the load axis is switched off.
    EXPECT_TRUE(text.contains("Spalten: RPM Werte: Vorzündung [°]")) << text.toStdString();
}

// A map of columns x rows, every cell the same wide number, as no program map is.
PrintedMap WideMap(int columns, int rows, const QString& value)
{
    PrintedMap map { "Wide", "RPM", "TP [%]", "Advance [°]", {}, {}, {} };
    for (int c = 0; c < columns; ++c)
        map.columns << QString("%1 000").arg(c + 10);
    for (int r = 0; r < rows; ++r) {
        map.rows << QString::number(r * 3);
        map.cells.push_back(QStringList());
        for (int c = 0; c < columns; ++c)
            map.cells.back() << value;
    }
    return map;
}

// An A4 page as the maps print on it.
struct A4Pdf {
    QBuffer buffer;
    bool opened = buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer { &buffer };
    A4Pdf()
    {
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    }
    QRectF Area() const { return QRectF(0, 0, writer.width(), writer.height()); }
};

TEST(MapPageLayoutTest, WideMapsAreSetSmallerOrSplitAndEveryBlockStaysWholeOnItsPage)
{
    const struct {
        int columns, rows;
        const char* value;
        bool smaller, split;
    } cases[] = {
        { 10, 10, "-12.5", false, false },
        { 12, 10, "-12.345", true, false },
        { 50, 30, "-12.345", true, true },
        { 10, 30, "4.72", false, false },
    };
    A4Pdf pdf;
    const MapPageLayout layout(pdf.writer, pdf.Area());
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.columns << " x " << c.rows);
        const std::vector<PrintedMap> maps(3, WideMap(c.columns, c.rows, c.value));
        const auto blocks = layout.Place(maps);
        std::vector<int> columnsSeen(maps.size(), 0);
        for (const auto& b : blocks) {
            EXPECT_TRUE(pdf.Area().contains(b.rect)) << "block of map " << b.map << " part " << b.part;
            EXPECT_GE(b.points, MapPageLayout::SMALLEST_POINTS);
            EXPECT_EQ(b.points < MapPageLayout::LARGEST_POINTS, c.smaller);
            EXPECT_EQ(b.parts > 1, c.split);
            EXPECT_EQ(b.firstColumn, columnsSeen[static_cast<size_t>(b.map)]) << "parts follow each other";
            columnsSeen[static_cast<size_t>(b.map)] += b.columnCount;
        }
        for (int seen : columnsSeen)
            EXPECT_EQ(seen, c.columns) << "every column printed once";
        for (size_t i = 1; i < blocks.size(); ++i) {
            if (blocks[i].page == blocks[i - 1].page) {
                EXPECT_GE(blocks[i].rect.top(), blocks[i - 1].rect.bottom()) << "blocks do not overlap";
            }
        }
    }
}

TEST(MapsPrinterTest, AWideMapDoesNotRunOffTheA4PageAndLosesNoCell)
{
    if (!PdfPages::CanReadText())
        GTEST_SKIP() << "pdftotext is not installed";
    ScopedWorkDir dir;
    const QString file = QString::fromStdString(dir.file("wide.pdf"));
    constexpr int COLUMNS = 50, ROWS = 30;
    {
        A4Pdf pdf;
        QPainter painter(&pdf.writer);
        ASSERT_GE(
            MapsPrinter::PaintPages(painter, pdf.writer, { WideMap(COLUMNS, ROWS, "-12.345") }, "head", false), 1);
        painter.end();
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(pdf.buffer.data());
    }
    Keep(file, "wide");
    const std::vector<PdfPages::Word> words = PdfPages::Words(file);
    ASSERT_FALSE(words.empty());
    constexpr double MARGIN_POINTS = 10 / 25.4 * 72;
    int cells = 0;
    std::set<int> parts;
    for (const PdfPages::Word& w : words) {
        EXPECT_LE(w.box.right(), w.pageSize.width() - MARGIN_POINTS + 1) << w.text.toStdString();
        EXPECT_LE(w.box.bottom(), w.pageSize.height() - MARGIN_POINTS + 1) << w.text.toStdString();
        cells += w.text == "-12.345";
        if (w.text.startsWith("(") && w.text.endsWith(")"))
            parts.insert(w.text.mid(1, w.text.indexOf('/') - 1).toInt());
    }
    EXPECT_EQ(cells, COLUMNS * ROWS);
    EXPECT_GT(parts.size(), 1u) << "the columns went into parts, each named";
}

} // namespace
