#include "MapTestSupport.h"
#include "mapedit/MapImageBinding.h"
#include "mapedit/MapReference.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/MapGraph3D.h"
#include "mapedit/ui/MapTableView.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The advance map of a configuration over speed and throttle, with a reference that differs from
// it in two cells.
class ReferenceView : public ::testing::Test {
protected:
    void SetUp() override
    {
        tab = editors.CreateProgramMap(MapKind::Advance, nullptr, 900, 500);
        ASSERT_NE(tab, nullptr);
        MapImageBinding::LoadProgramMap(*tab, MapKind::Advance, screen);
        reference.Adrb(ADVANCE + MAP_DIM * 1 + 2) += 4;
        reference.Adrb(ADVANCE + MAP_DIM * 3 + 0) -= 2;
        tab->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tab));
    }
    QImage Paint()
    {
        tab->Render();
        return tab->Picture().copy();
    }
    static int Count(const QImage& image, QRgb colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    }
    // Whether the top right corner of a cell carries the reference's mark.
    bool CornerMarked(const QImage& image, int column, int row) const
    {
        const QRect r = tab->Table().ElementRect(column, row);
        return image.pixel(r.right() - 1, r.top() + 1) == MarkColour;
    }
    QStringList PopupTexts(QPoint at)
    {
        QTest::mouseClick(tab, Qt::RightButton, Qt::NoModifier, at);
        QStringList texts;
        for (QAction* action : tab->Popup()->actions())
            if (!action->isSeparator())
                texts << action->text();
        tab->Popup()->close();
        return texts;
    }
    const QRgb MarkColour = MapEditor::Color(MapReference::COLOUR).rgb();
    ParamImage screen = ThrottleMapImage();
    ParamImage reference = ThrottleMapImage();
    RecordingHost host;
    MapEditorList editors { &host };
    MapEditor* tab = nullptr;
};

} // namespace

TEST_F(ReferenceView, TheTableMarksTheCellsThatDifferAlsoOnHeatColours)
{
    for (int heat : { 0, 1 }) {
        editors.heatColours = heat;
        editors.SetReference(nullptr);
        const QImage plain = Paint();
        editors.SetReference(&reference);
        const QImage compared = Paint();
        for (int row = 0; row < tab->Geometry().shownRows; ++row)
            for (int column = 0; column < tab->Geometry().shownColumns; ++column) {
                const bool differs = (column == 2 && row == 1) || (column == 0 && row == 3);
                EXPECT_EQ(CornerMarked(compared, column, row), differs) << column << "," << row << " heat " << heat;
                EXPECT_FALSE(CornerMarked(plain, column, row));
            }
    }
}

TEST_F(ReferenceView, TheToolTipOfADifferingCellGivesTheReferenceValue)
{
    editors.SetReference(&reference);
    Paint();
    const int32_t referenceValue = tab->Sheet().Cell(2, 1) + 4;
    QTest::mouseMove(tab, tab->Table().ElementRect(2, 1).center());
    EXPECT_EQ(tab->toolTip(), QString("Reference: %1 °").arg(referenceValue));
    QTest::mouseMove(tab, tab->Table().ElementRect(5, 5).center());
    EXPECT_EQ(tab->toolTip(), QString()) << "an equal cell has no reference tip";
    editors.SetReference(nullptr);
    QTest::mouseMove(tab, tab->Table().ElementRect(2, 1).center() + QPoint(1, 0));
    EXPECT_EQ(tab->toolTip(), QString());
}

TEST_F(ReferenceView, TheGraphDrawsTheReferenceCurvesDashed)
{
    tab->RunCommand(CMD_VIEW_2D);
    const QImage plain = Paint();
    editors.SetReference(&reference);
    const QImage compared = Paint();
    EXPECT_EQ(Count(plain, MarkColour), 0);
    // The reference runs under the map's curves and shows where it leaves them.
    EXPECT_GT(Count(compared, MarkColour), 20);
}

TEST_F(ReferenceView, The3DViewOffersTheDifferenceSurfaceWhileAReferenceIsLoaded)
{
    tab->RunCommand(CMD_VIEW_3D);
    Paint();
    const QPoint surface = tab->Graph3D().Area().center() + QPoint(100, 0);
    const QString entry = "Difference to reference";
    EXPECT_FALSE(PopupTexts(surface).contains(entry));

    editors.SetReference(&reference);
    const QImage map = Paint();
    ASSERT_TRUE(PopupTexts(surface).contains(entry));
    const MapSheet before = tab->Sheet();
    for (QAction* action : tab->Popup()->actions())
        if (action->text() == entry)
            action->trigger();
    EXPECT_TRUE(tab->Geometry().difference);
    const QImage difference = Paint();
    EXPECT_NE(difference, map);
    EXPECT_GT(Count(difference, MarkColour), 20) << "the note says what the surface shows";
    EXPECT_EQ(tab->Sheet().axisData.values, before.axisData.values) << "painting the difference keeps the map";
}
