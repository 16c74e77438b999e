#include "mapedit/View3DState.h"

#include "mapedit/MapEditTypes.h"

#include <algorithm>

int32_t View3DState::Wrap(int32_t steps)
{
    const int32_t shifted = (steps - MIN_ANGLE) % FULL_TURN;
    return (shifted < 0 ? shifted + FULL_TURN : shifted) + MIN_ANGLE;
}

void View3DState::Set(Angles a)
{
    angleX = Wrap(a.x);
    angleXY = Wrap(a.xy);
    angleXYZ = Wrap(a.xyz);
}

bool View3DState::PresetOf(int command, Angles& angles)
{
    switch (command) {
    case CMD_3D_TOP:
        angles = TOP;
        return true;
    case CMD_3D_ISO1:
        angles = ISO1;
        return true;
    case CMD_3D_ISO2:
        angles = ISO2;
        return true;
    default:
        return false;
    }
}

bool View3DState::Shows(int command) const
{
    Angles preset {};
    return PresetOf(command, preset) && preset == Current();
}

bool View3DState::Drag(Angles start, int dx, int dy)
{
    const Angles before = Current();
    // Integer division, as the pointer moves: a step every full ten pixels either way.
    angleX = Wrap(start.x - dy / DRAG_PIXELS_PER_STEP);
    angleXY = Wrap(start.xy + dx / DRAG_PIXELS_PER_STEP);
    if (Current() == before)
        return false;
    hintFlags &= ~HINT_ROTATE;
    return true;
}

void View3DState::Wheel(int step, bool ctrl, bool shift)
{
    if (ctrl)
        surfaceMode
            = std::clamp(surfaceMode + step, static_cast<int32_t>(WIRE), static_cast<int32_t>(MAX_SURFACE_MODE));
    else if (shift)
        valueMode = std::clamp(valueMode + step, static_cast<int32_t>(VALUES_NONE), static_cast<int32_t>(VALUES_ALL));
    else
        angleXYZ = Wrap(angleXYZ + step);
    hintFlags &= ~HINT_ROTATE;
}

void View3DState::NextValueMode() { valueMode = valueMode >= VALUES_ALL ? VALUES_NONE : valueMode + 1; }
