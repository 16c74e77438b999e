#include "mapedit/MapModel.h"

#include "lang/LangString.h"
#include "mapedit/MapEditorHost.h"

#include <algorithm>
#include <cstring>

namespace {

void CopyText(char* target, size_t size, const char* text)
{
    std::strncpy(target, text ? text : "", size - 1);
    target[size - 1] = 0;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// A sheet tab is as wide as its widest label plus this room for its edges.
constexpr int LABEL_WIDTH_PAD = 15;
// DefineAxis flags.
constexpr int AXIS_PROPORTIONAL = 1;
constexpr int AXIS_FULL_RANGE_3D = 2;
// A held arrow on an axis marked for fast repeat steps by FAST_STEP every other tick once it has
// repeated for FAST_AFTER_TICKS.
constexpr int FAST_AFTER_TICKS = 20;
constexpr int FAST_STEP = 10;
// One caret blink takes 16 ticks; the caret is redrawn when it appears and when it goes.
constexpr int CARET_BLINK_TICKS = 16;
// The operating point is located on the ticks whose count has this bit (two of every four).
constexpr int LOCATE_TICK_BIT = 2;
// monitorStatus bits: the unit runs on its second advance map; map 1 (map 2) takes manifold
// pressure as its load.
constexpr int MON_SECOND_MAP = 0x1;
constexpr int MON_MAP1_PRESSURE_LOAD = 0x10;
constexpr int MON_MAP2_PRESSURE_LOAD = 0x20;

// Index of a live value on an axis: the nearest entry, ties to the upper one.
int LiveIndex(const MapAxis& axis, double value, bool baseZone)
{
    if (value < axis.values[0])
        return baseZone ? MapSheet::OP_BASE_ZONE : 0;
    for (int i = 0; i + 1 < axis.count; ++i)
        if ((axis.values[i] + static_cast<double>(axis.values[i + 1])) / 2.0 > value)
            return i;
    return axis.count - 1;
}

// The live value of an axis in its raw units, by the quantity the axis names.
bool LiveValue(const MapModel& tab, const MapAxis& axis, double& raw)
{
    if (std::strcmp(axis.name, "RPM") == 0)
        raw = tab.engineRpm / axis.scale;
    else if (std::strcmp(axis.name, "TP") == 0)
        raw = tab.throttle / axis.scale;
    else if (std::strcmp(axis.name, "IAP") == 0)
        raw = tab.pressure / axis.scale;
    else
        return false;
    return true;
}

// The unit reports which of its two advance maps it runs on and which load input each one uses.
int AdvanceMapState(const MapSheet& s, int index, int monitorStatus)
{
    int state = (monitorStatus & MON_SECOND_MAP) == index ? MapSheet::OP_ACTIVE : MapSheet::OP_OTHER_MAP;
    const int pressureLoad = index == 0 ? MON_MAP1_PRESSURE_LOAD : MON_MAP2_PRESSURE_LOAD;
    if (!s.axisY.off && std::strcmp(s.axisY.name, "TP") == 0 && (monitorStatus & pressureLoad))
        state = MapSheet::OP_OTHER_LOAD;
    if (!s.axisY.off && std::strcmp(s.axisY.name, "IAP") == 0 && !(monitorStatus & pressureLoad))
        state = MapSheet::OP_OTHER_LOAD;
    return state;
}

} // namespace

MapModel::MapModel()
    : blockSaved(TAB_MAX_CELLS, 0)
{
}

MapModel::~MapModel() = default;

int MapModel::MeasureLabelWidth(const char* text, int fontSize) const
{
    // Without a window there are no font metrics: a character is taken as 6/10 of the size wide.
    return static_cast<int>(std::strlen(text)) * fontSize * 6 / 10;
}

int MapModel::AddSheet(const char* label, const char* labelX, const char* labelY, const char* labelData, int maxX, int maxY,
    int sheetFlags)
{
    if (sheetCount >= TAB_MAX_SHEETS)
        return -1;
    const int index = sheetCount++;
    MapSheet& s = sheets[static_cast<size_t>(index)];
    s = MapSheet {};
    s.flags = sheetFlags;
    // A compact point map keeps one region more than its values in each direction.
    s.cellExtra = (options & OPT_COMPACT_POINTS) ? 1 : 0;
    maxX = Clamp(maxX, 1, TAB_MAX_X - s.cellExtra);
    maxY = Clamp(maxY, 1, TAB_MAX_Y - s.cellExtra);
    s.axisX.Allocate(TAB_MAX_X);
    s.axisY.Allocate(TAB_MAX_Y);
    s.axisData.Allocate(TAB_MAX_CELLS);
    s.axisX.maxCount = s.axisX.count = maxX;
    s.axisY.maxCount = s.axisY.count = maxY;
    CopyText(s.label, sizeof s.label, label);
    CopyText(s.axisX.label, sizeof s.axisX.label, labelX);
    CopyText(s.axisY.label, sizeof s.axisY.label, labelY);
    CopyText(s.axisData.label, sizeof s.axisData.label, labelData);
    s.axisData.proportional = 1;
    int widest = 0;
    for (int lang = 0; lang < LANG_COUNT; ++lang)
        widest = std::max(widest, MeasureLabelWidth(LangText(s.label, lang), s.fontSize));
    s.labelWidth = widest + LABEL_WIDTH_PAD;
    if (options & OPT_COMPACT_POINTS) {
        s.headerFontSize = -10;
        s.axisX.axisFontSize = s.axisY.axisFontSize = s.axisData.axisFontSize = -9;
    }
    s.defined = true;
    NormalizeSheet(index, AXIS_ALL | NORMALIZE_RESTART);
    return index;
}

void MapModel::DefineAxis(int sheet, int which, const char* name, const char* unit, int32_t minValue, int32_t maxValue,
    double scale, int32_t minSpacing, const AxisRange* rangeTable, int editable, int flags, int minCount, int count,
    int offMode, int off, int resizable, int offPosition, int group, uint32_t color)
{
    if (sheet < 0 || sheet >= sheetCount)
        return;
    MapSheet& s = sheets[static_cast<size_t>(sheet)];
    for (int bit : { AXIS_X, AXIS_Y, AXIS_DATA }) {
        if (!(which & bit))
            continue;
        MapAxis& a = s.Axis(bit);
        CopyText(a.name, sizeof a.name, name);
        CopyText(a.unit, sizeof a.unit, unit);
        a.minValue = minValue;
        a.maxValue = std::max(minValue, maxValue);
        a.scale = scale > 0 ? scale : 1.0;
        a.editable = editable;
        a.SetRanges(rangeTable);
        a.fullRange3D = (flags & AXIS_FULL_RANGE_3D) ? 1 : 0;
        a.group = group;
        a.color = color;
        if (bit == AXIS_DATA) {
            a.proportional = 1;
            continue;
        }
        a.minSpacing = std::max(0, minSpacing);
        a.proportional = flags & AXIS_PROPORTIONAL;
        a.minCount = Clamp(minCount, 1, a.maxCount);
        a.count = Clamp(count, a.minCount, a.maxCount);
        a.OffMode = offMode;
        a.off = offMode == MapAxis::OFF_ALWAYS ? 1 : (offMode == MapAxis::OFF_NEVER ? 0 : (off ? 1 : 0));
        a.resizable = resizable;
        a.OffPosition = offPosition;
        a.ResolveOffIndex();
    }
}

void MapModel::NormalizeAxis(MapAxis& a)
{
    const int n = a.count;
    const int s = a.minSpacing;
    const int lo = a.minValue, hi = a.maxValue;
    auto& v = a.values;
    auto& p = a.lastValues;
    auto& o = a.savedValues;
    auto& m = a.pushed;
    int b = -1, changed = 0;
    bool several = false;
    auto forget = [&] {
        std::fill(m.begin(), m.end(), 0);
        std::fill(o.begin(), o.end(), 0);
    };
    if (a.lastMoved == MapAxis::LAST_MOVED_NONE) {
        several = true;
        forget();
        b = 0;
    } else {
        for (int i = 0; i < n; ++i)
            if (v[i] != p[i]) {
                ++changed;
                if (b < 0)
                    b = i;
            }
        if (b != a.lastMoved && b != -1)
            forget();
    }
    if (!several && changed == 1) {
        v[b] = std::max(v[b], lo + b * s);
        for (int d = b - 1; d >= 0 && v[d] > v[d + 1] - s; --d) {
            if (!m[d])
                o[d] = v[d];
            m[d] = 1;
            v[d] = v[d + 1] - s;
        }
        v[b] = std::min(v[b], hi - (n - b - 1) * s);
        for (int d = b + 1; d < n && v[d] < v[d - 1] + s; ++d) {
            if (!m[d])
                o[d] = v[d];
            m[d] = 1;
            v[d] = v[d - 1] + s;
        }
        for (int round = 0; round < n; ++round)
            for (int k = 0; k < n; ++k) {
                if (!m[k])
                    continue;
                if (v[k] < o[k])
                    v[k] = k + 1 < n ? std::min(o[k], v[k + 1] - s) : o[k];
                else if (v[k] > o[k])
                    v[k] = k > 0 ? std::max(o[k], v[k - 1] + s) : o[k];
                if (v[k] == o[k])
                    m[k] = 0;
            }
    } else {
        for (int j = 0; j < n; ++j) {
            v[j] = std::max(v[j], lo + j * s);
            v[j] = std::min(v[j], hi - (n - j - 1) * s);
        }
        for (int j = b; j >= 1; --j)
            v[j - 1] = std::min(v[j - 1], v[j] - s);
        for (int j = 1; j < n; ++j)
            v[j] = std::max(v[j], v[j - 1] + s);
    }
    std::copy(v.begin(), v.end(), p.begin());
    if (b != -1)
        a.lastMoved = b;
}

void MapModel::NormalizeSheet(int sheet, int mask)
{
    if (sheet < 0 || sheet >= sheetCount)
        return;
    MapSheet& s = sheets[static_cast<size_t>(sheet)];
    const bool rpmX = std::strcmp(s.axisX.name, "RPM") == 0;
    if ((s.flags & SF_BASE_ADVANCE) && rpmX)
        baseAdvance = Clamp(baseAdvance, static_cast<int>(s.axisData.minValue * s.axisData.scale),
            static_cast<int>(s.axisData.maxValue * s.axisData.scale));
    const int rpmLo = static_cast<int>(s.axisX.minValue * s.axisX.scale);
    const int rpmHi = static_cast<int>(s.axisX.maxValue * s.axisX.scale);
    if ((s.flags & SF_LIMITER) && rpmX)
        limiterRpm = Clamp(limiterRpm, rpmLo, rpmHi);
    if ((s.flags & SF_START_LIMITER) && rpmX)
        startLimiterRpm = Clamp(startLimiterRpm, rpmLo, rpmHi);
    for (int bit : { AXIS_X, AXIS_Y }) {
        if (!(mask & bit))
            continue;
        MapAxis& a = s.Axis(bit);
        if (mask & NORMALIZE_RESTART)
            a.lastMoved = MapAxis::LAST_MOVED_NONE;
        NormalizeAxis(a);
    }
    if (mask & AXIS_DATA)
        for (int r = 0; r < std::min(s.DataRows(), TAB_MAX_Y); ++r)
            for (int c = 0; c < std::min(s.DataColumns(), TAB_MAX_X); ++c)
                s.Cell(c, r) = Clamp(s.Cell(c, r), s.axisData.minValue, s.axisData.maxValue);
}

void MapModel::RememberValues()
{
    for (int i = 0; i < sheetCount; ++i) {
        sheets[static_cast<size_t>(i)].axisX.RememberValues();
        sheets[static_cast<size_t>(i)].axisY.RememberValues();
    }
}

int MapModel::ShownColumns() const { return Sheet().axisX.off ? 1 : std::min(visibleColumns, Sheet().axisX.count); }
int MapModel::ShownRows() const { return Sheet().axisY.off ? 1 : std::min(visibleRows, Sheet().axisY.count); }

void MapModel::RebuildLayout()
{
    if (sheetCount == 0)
        return;
    MapSheet& s = Sheet();
    for (MapAxis* a : { &s.axisX, &s.axisY }) {
        a->ResolveOffIndex();
        const int shown = a == &s.axisX ? ShownColumns() : ShownRows();
        a->firstVisible = Clamp(a->firstVisible, 0, std::max(0, a->count - shown));
    }
    RequestRepaint(REPAINT_LAYOUT);
}

void MapModel::SelectSheet(int index)
{
    if (index < 0 || index >= sheetCount)
        return;
    CommitCellEdit();
    previousSheet = activeSheet;
    activeSheet = index;
    RebuildLayout();
    RequestRepaint(REPAINT_LAYOUT);
    SetViewMode(0);
    LocateOperatingPoint();
}

void MapModel::SetViewMode(int request)
{
    int view = (request == VIEW_TABLE || request == VIEW_2D || request == VIEW_3D) ? request : viewMode;
    if (view == VIEW_TABLE && !(options & OPT_TABLE))
        view = VIEW_2D;
    if (view == VIEW_2D && !(options & OPT_GRAPH2D))
        view = VIEW_3D;
    if (view == VIEW_3D && !(options & OPT_GRAPH3D))
        view = VIEW_POINTS;
    if (view == VIEW_POINTS && !(options & OPT_COMPACT_POINTS))
        view = (options & OPT_TABLE) ? VIEW_TABLE : (options & OPT_GRAPH2D) ? VIEW_2D : VIEW_NONE;
    // A compact-point map shows its table as the point view.
    if (view == VIEW_TABLE && (options & OPT_COMPACT_POINTS))
        view = VIEW_POINTS;
    if (view != viewMode) {
        viewMode = viewBits = view;
        RequestRepaint(REPAINT_LAYOUT);
    }
}

void MapModel::CommitNow()
{
    const int mask = pendingMask;
    pendingMask = pendingChangeId = commitTick = 0;
    if (mask && host)
        host->OnMapChanged(*this, mask);
}

void MapModel::NoteChange(int mask, int changeId)
{
    if (changeId == ChangeEnd && pendingChangeId != ChangeBegin)
        return;
    pendingMask |= mask & AXIS_ALL;
    NormalizeSheet(activeSheet, mask);
    if (pendingChangeId != 0 && changeId != pendingChangeId)
        changeId = CHANGE_NOW;
    else
        commitTick = tickCount + TAB_COMMIT_DELAY_TICKS;
    pendingChangeId = changeId;
    if (changeId == CHANGE_NOW)
        CommitNow();
    if (pendingChangeId == ChangeEnd)
        pendingChangeId = 0;
    RequestRepaint(REPAINT);
}

void MapModel::RepeatHeldArrow()
{
    const int held = tickCount - pressTick;
    if (!(upHeld || downHeld) || held < TAB_REPEAT_START_TICKS || !sheetCount)
        return;
    repeating = 1;
    const int fast = hoverRow < 0 ? SF_FAST_X : hoverColumn < 0 ? SF_FAST_Y : SF_FAST_DATA;
    const int direction = upHeld ? 1 : -1;
    if (held >= TAB_REPEAT_START_TICKS + FAST_AFTER_TICKS && (Sheet().flags & fast)) {
        if (held % 2 == 0)
            StepHovered(FAST_STEP * direction);
    } else {
        StepHovered(direction);
    }
}

void MapModel::TabTick()
{
    ++tickCount;
    if (pendingMask && tickCount >= commitTick)
        CommitNow();
    RepeatHeldArrow();
    blinkPhase = (blinkPhase + 1) % CARET_BLINK_TICKS;
    if (editing && blinkPhase % (CARET_BLINK_TICKS / 2) == 0)
        RequestRepaint(REPAINT);
    if (tickCount & LOCATE_TICK_BIT)
        LocateOperatingPoint();
    OnViewTick();
}

void MapModel::LocateOperatingPoint()
{
    if (sheetCount == 0)
        return;
    for (int index = 0; index < sheetCount; ++index) {
        MapSheet& s = sheets[static_cast<size_t>(index)];
        if (!(s.flags & SF_OPERATING_POINT))
            continue;
        int state = MapSheet::OP_ACTIVE;
        int position[2] = { NO_ELEMENT, NO_ELEMENT };
        for (int k = 0; k < 2; ++k) {
            const MapAxis& a = k == 0 ? s.axisX : s.axisY;
            if (a.off) {
                position[k] = a.offIndex;
                continue;
            }
            double live;
            if (!LiveValue(*this, a, live)) {
                state = MapSheet::OP_NONE;
                continue;
            }
            const bool baseZone = k == 0 && (s.flags & SF_BASE_ADVANCE) && std::strcmp(a.name, "RPM") == 0;
            position[k] = LiveIndex(a, live, baseZone);
        }
        // A stopped engine has no operating point on an engine-speed map.
        if (std::strcmp(s.axisX.name, "RPM") == 0 && engineRpm == 0)
            state = MapSheet::OP_NONE;
        if (state != MapSheet::OP_NONE && std::strcmp(s.axisData.name, "ADV") == 0)
            state = AdvanceMapState(s, index, monitorStatus);
        if (position[0] == s.opColumn && position[1] == s.opRow && state == s.opState)
            continue;
        s.opColumn = position[0];
        s.opRow = position[1];
        s.opState = state;
        if (index == activeSheet && autoscroll && *autoscroll && state != MapSheet::OP_NONE)
            ScrollTo(s.opColumn, s.opRow);
        RequestRepaint(REPAINT);
    }
}

bool MapModel::ScrollTo(int column, int row)
{
    if (sheetCount == 0)
        return false;
    MapSheet& s = Sheet();
    bool changed = false;
    auto follow = [&](MapAxis& a, int index, int shown) {
        int first = a.firstVisible;
        if (index >= 0 && !a.off) {
            if (index < first)
                first = index;
            else if (index >= first + shown)
                first = index - shown + 1;
        }
        first = Clamp(first, 0, std::max(0, a.count - shown));
        if (first != a.firstVisible) {
            a.firstVisible = first;
            changed = true;
        }
    };
    follow(s.axisX, column, ShownColumns());
    follow(s.axisY, row, ShownRows());
    if (changed) {
        OnScrolled();
        CommitCellEdit();
        RequestRepaint(REPAINT_LAYOUT);
    }
    return changed;
}

void MapModel::ShowMessage(const char* langText)
{
    if (host)
        host->ShowMapMessage(*this, LangText(langText));
    OnMessageShown();
}
