#pragma once

#include "mapedit/ProgramMaps.h"
#include "model/ParamImage.h"

#include <string>

class MapModel;

// A map the commands name on their command line (--map advance|servo): its editor definition and
// how its cells and axes come from and go back into the image.
struct CliMapKind {
    const char* name;
    MapKind kind;
    void (*load)(MapModel&, const ParamImage&, int);
    int (*store)(const MapModel&, ParamImage&);

    // The map of that name, nullptr for none.
    static const CliMapKind* Find(const std::string& name);
    // Defines the map in an empty editor and fills it from image, as its page in the window does.
    void Load(MapModel& tab, const ParamImage& image) const;
};
