#pragma once

#include <cstdint>

// How the 3D graph looks at its map: the view angles, how the surface is filled, which values are
// written on it and which first-use hints are still offered. It lives as long as the editor and
// is never stored.
struct View3DState {
    // Angles are counted in steps of 5 degrees; 72 steps are a full turn, kept in -35..36.
    static constexpr int STEP_DEGREES = 5;
    static constexpr int FULL_TURN = 72;
    static constexpr int MIN_ANGLE = -35;
    // A rotation drag turns by one step per this many pixels.
    static constexpr int DRAG_PIXELS_PER_STEP = 10;

    enum SurfaceMode : int32_t { WIRE = 0, ONE_COLOUR = 1, HEIGHT_COLOURS = 2, MAX_SURFACE_MODE = 5 };
    enum ValueMode : int32_t { VALUES_NONE = 0, VALUES_ACTIVE = 1, VALUES_INTERESTING = 2, VALUES_ALL = 3 };
    enum HintFlag : int32_t { HINT_ROTATE = 1, HINT_ACTUAL_VALUE = 2 };

    struct Angles {
        int32_t x, xy, xyz;
        bool operator==(const Angles&) const = default;
    };
    static constexpr Angles TOP { -18, 0, 0 };
    static constexpr Angles ISO1 { -5, 4, 0 };
    static constexpr Angles ISO2 { -5, 24, 0 };

    int32_t angleX = ISO2.x;
    int32_t angleXY = ISO2.xy;
    int32_t angleXYZ = ISO2.xyz;
    // Height colours with grain 2: fine enough to read, cheap enough to turn smoothly.
    int32_t surfaceMode = HEIGHT_COLOURS + 2;
    int32_t valueMode = VALUES_INTERESTING;
    int32_t panelWidth = 140;
    int32_t hintFlags = HINT_ROTATE | HINT_ACTUAL_VALUE;
    // The surface shows the map minus the reference's while a reference is loaded.
    bool difference = false;

    // An angle brought into -35..36.
    static int32_t Wrap(int32_t steps);
    // Grain of the height colours: how often a triangle may be divided (0 for the other modes).
    int Grain() const { return surfaceMode >= HEIGHT_COLOURS ? surfaceMode - HEIGHT_COLOURS : 0; }

    Angles Current() const { return { angleX, angleXY, angleXYZ }; }
    void Set(Angles a);
    // The preset of a view command (CMD_3D_TOP, CMD_3D_ISO1, CMD_3D_ISO2); false for another command.
    static bool PresetOf(int command, Angles& angles);
    // Whether the angles equal the preset of a view command exactly.
    bool Shows(int command) const;

    // A rotation drag dx, dy pixels away from where it started at the angles start; true when
    // the angles changed.
    bool Drag(Angles start, int dx, int dy);
    // One wheel step (+1 or -1) over the surface: Ctrl the surface mode, Shift the value mode,
    // else the third angle.
    void Wheel(int step, bool ctrl, bool shift);
    // The space key: no values, the active one, the interesting ones, all, and round again.
    void NextValueMode();
};
