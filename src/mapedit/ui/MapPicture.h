#pragma once

#include "mapedit/ProgramMaps.h"
#include "mapedit/View3DState.h"
#include "model/ParamImage.h"

#include <QImage>
#include <QSize>

#include <string>
#include <vector>

// A picture of one of the program's map editors, painted off-screen from a configuration image
// exactly as the window paints it: the same map, the same columns, the same view.
class MapPicture {
public:
    struct Map {
        const char* name; // as the command line names it
        MapKind kind;
        int output; // power output 0 or 1
        int width, height; // the size the editor has on its page
        int visibleColumns; // as the page sets them
    };

    // Every map that can be painted, in the order the command line lists them.
    static const std::vector<Map>& Maps();
    static const Map* Find(const std::string& name);

    // Paints map in view (VIEW_TABLE, VIEW_2D or VIEW_3D, the 3D graph as look sets it) at size
    // (0 x 0: the page's size). Needs a QApplication. Returns an empty picture and the reason
    // when the view is not offered. heat colours the table's cells by value. reference: a second
    // configuration the views compare against as the window's do (look.difference for the 3D
    // difference surface).
    static QImage Paint(const Map& map, const ParamImage& image, QSize size, int view, std::string& error,
        const View3DState& look = View3DState {}, bool heat = false, const ParamImage* reference = nullptr);
};
