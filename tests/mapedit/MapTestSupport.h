#pragma once

#include "mapedit/MapEditorHost.h"
#include "mapedit/MapInteraction.h"
#include "mapedit/MapModel.h"
#include "mapedit/ProgramMaps.h"
#include "model/ImageDefaults.h"
#include "model/ParamImage.h"

#include <string>
#include <vector>

// Records what an editor reports to its owner.
class RecordingHost : public MapEditorHost {
public:
    void OnMapChanged(MapModel&, int mask) override { commits.push_back(mask); }
    void ShowMapMessage(MapModel&, const char* text) override { messages.emplace_back(text); }
    std::vector<int> commits;
    std::vector<std::string> messages;
};

// Fills the active sheet's X and Y values and cells the way the owner does from the image.
inline void FillSheet(MapModel& tab, const std::vector<int>& xs, const std::vector<int>& ys, int cellBase = 0)
{
    MapSheet& s = tab.Sheet();
    for (size_t i = 0; i < xs.size(); ++i)
        s.axisX.values[i] = xs[i];
    for (size_t i = 0; i < ys.size(); ++i)
        s.axisY.values[i] = ys[i];
    for (int r = 0; r < TAB_MAX_Y; ++r)
        for (int c = 0; c < TAB_MAX_X; ++c)
            s.Cell(c, r) = cellBase;
    tab.RememberValues();
    tab.RebuildLayout();
}

inline const std::vector<int> AdvanceRpm = { 10, 20, 30, 40, 50, 60, 70, 80, 90, 100 };
inline const std::vector<int> TpPoints = { 0, 2, 5, 10, 20, 30, 40, 60, 80, 100 };

// The start-up configuration with its advance map over speed and throttle, ten by ten.
inline ParamImage ThrottleMapImage()
{
    ParamImage img = StartupImage();
    img.Adrb(TPSIAP_SENSOR) = 1;
    img.Adrb(ADV_MAPA) = 1;
    return img;
}
