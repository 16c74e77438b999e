#pragma once

#include <array>
#include <cstdint>

// Capacities of one map editor; every array of the editor is sized by them.
constexpr int TAB_MAX_SHEETS = 8;
constexpr int TAB_MAX_X = 50;
constexpr int TAB_MAX_Y = 30;
constexpr int TAB_MAX_CELLS = TAB_MAX_X * TAB_MAX_Y;
constexpr int TAB_MAX_EDITORS = 40;
constexpr int TAB_MAX_RANGES = 5;
constexpr int TAB_LABEL_LEN = 256;
constexpr int TAB_NAME_LEN = 64;
constexpr int TAB_UNIT_LEN = 16;
constexpr int TAB_EDIT_MAX_CHARS = 16;
constexpr int TAB_COMMIT_DELAY_TICKS = 5;
constexpr int TAB_REPEAT_START_TICKS = 16;

// Bits of the editor's options.
enum TabOptions : int32_t {
    OPT_TOOLBAR = 0x0001,
    OPT_TABLE = 0x0010,
    OPT_GRAPH2D = 0x0020,
    OPT_GRAPH3D = 0x0040,
    OPT_TITLE = 0x0100,
    OPT_POSITION_BUTTONS = 0x1000,
    OPT_COMPACT_POINTS = 0x2000,
};

// Bits of a sheet's flags.
enum SheetFlags : int32_t {
    SF_OPERATING_POINT = 0x1,
    SF_SWAP_AXES = 0x2,
    SF_CAN_DISABLE = 0x8,
    SF_GRAPH_NO_LEAD = 0x20,
    SF_GRAPH_NO_TAIL = 0x80,
    SF_BASE_ADVANCE = 0x100,
    SF_LIMITER = 0x200,
    SF_START_LIMITER = 0x400,
    SF_FAST_X = 0x1000,
    SF_FAST_Y = 0x2000,
    SF_FAST_DATA = 0x4000,
};

// Which axis: a bit set, also the mask of a change.
enum AxisBit : int32_t { AXIS_X = 1, AXIS_Y = 2, AXIS_DATA = 4, AXIS_ALL = 7, NORMALIZE_RESTART = 0x100 };

// Views of the editor (bits of the view mode).
enum TabView : int32_t { VIEW_NONE = 0, VIEW_TABLE = 1, VIEW_2D = 2, VIEW_3D = 4, VIEW_POINTS = 8 };

// Element addresses (column, row): -1 along a direction is its header (row -1 the column
// headers, column -1 the row headers); -2 is no element.
constexpr int HEADER = -1;
constexpr int NO_ELEMENT = -2;

// Marks of selection elements.
enum SelMark : int16_t { MARK_SELECTED = 0x1, MARK_DRAG = 0x2, MARK_CORNER = 0x4 };

// Kinds of a selection and of a drag.
enum SelKind : int32_t {
    SEL_NONE = 0,
    SEL_CELLS = 1,
    SEL_COLUMNS = 2,
    SEL_ROWS = 4,
    SEL_WHOLE_COLUMNS = 8,
    SEL_WHOLE_ROWS = 16,
    DRAG_RUBBER = 0x100,
    DRAG_GRAPH_POINT = 0x200,
};

// The change mask of a committed selection: column headers change X, row headers Y, cells the data.
constexpr int MaskOfKind(int kind) { return kind == SEL_COLUMNS ? AXIS_X : kind == SEL_ROWS ? AXIS_Y : AXIS_DATA; }

// Change identifiers of the commit protocol. Positive values name a target.
enum ChangeId : int32_t { CHANGE_NOW = 0, ChangeBegin = -1, ChangeEnd = -2 };

// Numbered commands shared by the keys, the popup menu and the toolbar.
enum TabCommand : int32_t {
    CMD_COPY = 0,
    CMD_COPY_TABLE = 1,
    CMD_PASTE = 2,
    CMD_STEP_UP = 3,
    CMD_STEP_DOWN = 4,
    CMD_VIEW_TABLE = 5,
    CMD_VIEW_2D = 6,
    CMD_VIEW_3D = 7,
    CMD_ONLY_X = 13,
    CMD_ONLY_Y = 14,
    CMD_BOTH = 15,
    CMD_3D_TOP = 16,
    CMD_3D_ISO1 = 17,
    CMD_3D_ISO2 = 18,
    CMD_ENABLE_SHEET = 19,
    CMD_ADD_COLUMN = 23,
    CMD_REMOVE_COLUMN = 24,
    CMD_COPY_GRAPH = 40,
    CMD_INTERPOLATE = 101,
    CMD_SCROLL_X = 1001,
    CMD_SCROLL_Y = 1002,
};

// Keys as the editor receives them: characters as themselves, the navigation keys as their
// key code x 256.
enum TabKey : int32_t {
    KEY_BACKSPACE = 8,
    KEY_TAB = 9,
    KEY_ENTER = 13,
    KEY_ESC = 27,
    KEY_SPACE = 32,
    KEY_CTRL_C = 3,
    KEY_CTRL_V = 22,
    KEY_PAGE_UP = 0x21 * 256,
    KEY_PAGE_DOWN = 0x22 * 256,
    KEY_END = 0x23 * 256,
    KEY_HOME = 0x24 * 256,
    KEY_LEFT = 0x25 * 256,
    KEY_UP = 0x26 * 256,
    KEY_RIGHT = 0x27 * 256,
    KEY_DOWN = 0x28 * 256,
    KEY_INSERT = 0x2D * 256,
    KEY_DELETE = 0x2E * 256,
};

// A box of elements, { column0, row0, column1, row1 } (a fill or move drag of the selection box).
enum BoxIndex { BOX_X0, BOX_Y0, BOX_X1, BOX_Y1 };
using MapBox = std::array<int32_t, 4>;

// Identifiers of the targets of gathered changes.
constexpr int32_t ChangeIdOfElement(int column, int row) { return 0x10000 + (row + 1) * 64 + (column + 1); }
constexpr int32_t CHANGE_ID_SELECTION = 0x20000;
constexpr int32_t CHANGE_ID_BASE_ADVANCE = 0x30000;
