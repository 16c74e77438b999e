#pragma once

#include "MapTestSupport.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"

#include <QTest>

// The advance map's editor over the test's engine speeds and throttle points, its cells given by
// a formula of column and row, shown on the screen; nullptr when it cannot be made or shown.
inline MapEditor* ShowAdvanceMap(MapEditorList& editors, QSize size, int (*cell)(int column, int row))
{
    MapEditor* tab = editors.CreateProgramMap(MapKind::Advance, nullptr, size.width(), size.height());
    if (!tab)
        return nullptr;
    FillSheet(*tab, AdvanceRpm, TpPoints);
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c)
            tab->Sheet().Cell(c, r) = cell(c, r);
    tab->show();
    return QTest::qWaitForWindowExposed(tab) ? tab : nullptr;
}
