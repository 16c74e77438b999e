#include "mapedit/ui/MapPicture.h"

#include "mapedit/MapImageBinding.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"

const std::vector<MapPicture::Map>& MapPicture::Maps()
{
    // Sizes and visible columns are those of the editors on the settings pages.
    static const std::vector<Map> maps = {
        { "advance", MapKind::Advance, 0, 560, 300, MAP_DIM },
        { "servo", MapKind::Servo, 0, 560, 300, MAP_DIM },
        { "tp", MapKind::TpSensor, 0, 200, 110, 1 },
        { "iap", MapKind::IapSensor, 0, 200, 110, 1 },
        { "power1", MapKind::PowerOutA, 0, 330, 150, 4 },
        { "power2", MapKind::PowerOutA, 1, 330, 150, 4 },
    };
    return maps;
}

const MapPicture::Map* MapPicture::Find(const std::string& name)
{
    for (const Map& map : Maps())
        if (name == map.name)
            return &map;
    return nullptr;
}

QImage MapPicture::Paint(const Map& map, const ParamImage& image, QSize size, int view, std::string& error,
    const View3DState& look, bool heat, const ParamImage* reference)
{
    MapEditorList editors;
    editors.heatColours = heat ? 1 : 0;
    MapEditor* tab = editors.CreateProgramMap(map.kind, nullptr, 0, 0, map.output + 1);
    if (!tab) {
        error = "the map editor could not be created";
        return {};
    }
    const int allowed = view == VIEW_3D ? OPT_GRAPH3D : view == VIEW_2D ? OPT_GRAPH2D : OPT_TABLE;
    if (!(tab->Options() & allowed)) {
        const char* name = view == VIEW_3D ? "3D graph" : view == VIEW_2D ? "2D graph" : "table";
        error = std::string("the ") + map.name + " map has no " + name + " view";
        return {};
    }
    static_cast<View3DState&>(tab->Geometry()) = look;
    tab->resize(size.isEmpty() ? QSize(map.width, map.height) : size);
    tab->SetVisibleColumns(map.visibleColumns);
    MapImageBinding::LoadProgramMap(*tab, map.kind, image, map.output);
    editors.SetReference(reference);
    // What the window hands every editor on its timer, with the engine standing still.
    tab->SetBaseAdvance(image.Adrb(BASE_ADV));
    tab->SetLimiterRpm(image.Adrb(LIMITER) * 100);
    tab->SetStartLimiterRpm(image.Adrb(START_LIM) * 100);
    tab->SetViewMode(view);
    tab->RebuildLayout();
    tab->RequestRepaint(MapModel::REPAINT_LAYOUT);
    tab->Render();
    return tab->Picture().copy();
}
