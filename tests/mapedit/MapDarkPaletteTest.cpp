#include "ShownAdvanceMap.h"
#include "mapedit/ui/MapGraph2D.h"
#include "mapedit/ui/MapGraph3D.h"
#include "mapedit/ui/MapTableView.h"

#include <QApplication>
#include <QPalette>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Contrast of two colours as WCAG measures it: 1 for equal colours, 21 for black on white.
double Luminance(QColor c)
{
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double Contrast(QColor a, QColor b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The strongest contrast a pixel of a box has with the background: that of the text's ink.
double InkContrast(const QImage& picture, QRect box, QColor background)
{
    double best = 1;
    box &= picture.rect();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            best = std::max(best, Contrast(picture.pixelColor(x, y), background));
    return best;
}

// Normal text reads when its contrast is 4.5 or more.
constexpr double READABLE = 4.5;

// The advance map's editor under a dark desktop theme: the face dark grey, the text light.
class DarkPalette : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = QApplication::palette();
        QPalette dark = saved;
        for (const auto role : { QPalette::Window, QPalette::Button })
            dark.setColor(role, QColor(0x35, 0x35, 0x35));
        for (const auto role : { QPalette::WindowText, QPalette::ButtonText, QPalette::Text })
            dark.setColor(role, QColor(0xEE, 0xEE, 0xEE));
        QApplication::setPalette(dark);
        tab = ShowAdvanceMap(editors, QSize(900, 420), [](int c, int r) { return 2 * c + r; });
        ASSERT_NE(tab, nullptr);
    }
    void TearDown() override { QApplication::setPalette(saved); }
    QImage Shown(int viewCommand)
    {
        tab->RunCommand(viewCommand);
        tab->Render();
        return tab->Picture();
    }
    QPalette saved;
    RecordingHost host;
    MapEditorList editors { &host };
    MapEditor* tab = nullptr;
};

TEST_F(DarkPalette, TheCellsAndTheColumnCountOfTheTableAreReadable)
{
    const QImage picture = Shown(CMD_VIEW_TABLE);
    const MapViewGeometry& g = tab->Geometry();
    ASSERT_FALSE(g.addColumn.isNull());
    const QRect count(g.addColumn.left(), g.removeColumn.bottom() + 1, g.addColumn.width() + 4, 160);
    EXPECT_GE(InkContrast(picture, count, tab->BackgroundColor()), READABLE);
    // Cells stand on the control's face; the headers above them keep their own light colour.
    const QRect cell = tab->Table().ElementRect(3, 0).adjusted(3, 3, -3, -3);
    EXPECT_GE(InkContrast(picture, cell, tab->BackgroundColor()), READABLE) << "a cell's value";
    const QRect header = tab->Table().ElementRect(3, HEADER).adjusted(3, 3, -3, -3);
    EXPECT_GE(InkContrast(picture, header, picture.pixelColor(header.topLeft())), READABLE) << "a header's value";
    // The middle of the minus, inside the button's light and dark edges (the column count is at its
    // largest, so the plus is greyed).
    const QRect minus(g.removeColumn.center() - QPoint(1, 0), QSize(3, 1));
    EXPECT_GE(InkContrast(picture, minus, MapEditor::Color(0xFF00000F)), READABLE) << "the remove-column button";
}

TEST_F(DarkPalette, TheLabelsBesideThe2DGraphAreReadable)
{
    const QImage picture = Shown(CMD_VIEW_2D);
    const GraphGeometry& geo = tab->Graph2D().Geometry();
    const QRect across(geo.plotLeft, geo.plotBottom + 4, geo.PlotRight() - geo.plotLeft, 12);
    const QRect curves(tab->Graph2D().Area().left(), geo.plotTop, geo.plotLeft - 6 - tab->Graph2D().Area().left(),
        geo.plotBottom - geo.plotTop);
    EXPECT_GE(InkContrast(picture, across, tab->BackgroundColor()), READABLE) << "values under the plot";
    EXPECT_GE(InkContrast(picture, curves, tab->BackgroundColor()), READABLE) << "the curves' values left of it";
}

TEST_F(DarkPalette, ThePanelOfThe3DGraphIsReadable)
{
    const QImage picture = Shown(CMD_VIEW_3D);
    const QRect area = tab->Graph3D().Area();
    const QRect angles(area.left(), area.top() + 8, tab->Geometry().panelWidth, 15);
    EXPECT_GE(InkContrast(picture, angles, tab->BackgroundColor()), READABLE) << "the angles";
    const QRect top = MapGraph3D::PresetButton(area, CMD_3D_TOP).adjusted(3, 3, -3, -3);
    EXPECT_GE(InkContrast(picture, top, MapEditor::Color(0xFF00000F)), READABLE) << "the TOP button's caption";
    const QRect legendValues(area.left() + 36, area.top() + 60, tab->Geometry().panelWidth - 40, area.height() - 80);
    EXPECT_GE(InkContrast(picture, legendValues, tab->BackgroundColor()), READABLE) << "the colour scale's values";
}

} // namespace
