#include "mapedit/ui/MapTableView.h"

#include "mapedit/ui/HitsPainter.h"
#include "mapedit/ui/MapEditor.h"

void MapTableView::PaintHits(QPainter& p)
{
    // A recording is no setting: paper shows none of it.
    const MapHits* hits = tab_.PrintMode() ? nullptr : tab_.Hits();
    if (!hits)
        return;
    const MapViewGeometry& g = tab_.Geometry();
    for (int j = 0; j < g.shownRows; ++j)
        for (int i = 0; i < g.shownColumns; ++i)
            HitsPainter::ShadeCell(p, g.Cell(i, j), hits->Share(EntryColumn(i), EntryRow(j)), hits->LargestShare());
}

QString MapTableView::HitsHint() const
{
    const MapHits* hits = tab_.Hits();
    if (!hits)
        return {};
    const Hit hit = HitTest(mouse_);
    return hit.kind == HIT_CELL ? HitsPainter::CellHint(*hits, hit.column, hit.row) : QString();
}
