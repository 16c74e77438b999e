#include "mapedit/MapModel.h"

#include "lang/LangString.h"
#include "mapedit/MapEditorHost.h"
#include "mapedit/MapRawValues.h"

#include <algorithm>
#include <cstring>

namespace {

void CopyText(char* target, size_t size, const char* text)
{
    std::strncpy(target, text ? text : "", size - 1);
    target[size - 1] = 0;
}

// A sheet tab is as wide as its widest label plus this room for its edges.
constexpr int LABEL_WIDTH_PAD = 15;
// DefineAxis flags.
constexpr int AXIS_PROPORTIONAL = 1;
constexpr int AXIS_FULL_RANGE_3D = 2;

} // namespace

MapModel::MapModel() = default;

MapModel::~MapModel() = default;

int MapModel::MeasureLabelWidth(const char* text, int fontSize) const
{
    // Without a window there are no font metrics: a character is taken as 6/10 of the size wide.
    return static_cast<int>(std::strlen(text)) * fontSize * 6 / 10;
}

int MapModel::AddSheet(const char* label, const char* labelX, const char* labelY, const char* labelData, int maxX, int maxY,
    int sheetFlags)
{
    if (sheetCount_ >= TAB_MAX_SHEETS)
        return -1;
    const int index = sheetCount_++;
    MapSheet& s = SheetAt(index);
    s = MapSheet {};
    s.flags = sheetFlags;
    // A compact point map keeps one region more than its values in each direction.
    s.cellExtra = (options_ & OPT_COMPACT_POINTS) ? 1 : 0;
    maxX = ClampInt(maxX, 1, TAB_MAX_X - s.cellExtra);
    maxY = ClampInt(maxY, 1, TAB_MAX_Y - s.cellExtra);
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
    if (options_ & OPT_COMPACT_POINTS) {
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
    if (sheet < 0 || sheet >= sheetCount_)
        return;
    MapSheet& s = SheetAt(sheet);
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
        a.minCount = ClampInt(minCount, 1, a.maxCount);
        a.count = ClampInt(count, a.minCount, a.maxCount);
        a.offMode = offMode;
        a.off = offMode == MapAxis::OFF_ALWAYS ? 1 : (offMode == MapAxis::OFF_NEVER ? 0 : (off ? 1 : 0));
        a.resizable = resizable;
        a.offPosition = offPosition;
        a.ResolveOffIndex();
    }
}

int MapModel::ShownColumns() const { return Sheet().axisX.off ? 1 : std::min(visibleColumns_, Sheet().axisX.count); }
int MapModel::ShownRows() const { return Sheet().axisY.off ? 1 : std::min(visibleRows_, Sheet().axisY.count); }

void MapModel::RebuildLayout()
{
    if (sheetCount_ == 0)
        return;
    MapSheet& s = Sheet();
    for (MapAxis* a : { &s.axisX, &s.axisY }) {
        a->ResolveOffIndex();
        const int shown = a == &s.axisX ? ShownColumns() : ShownRows();
        a->firstVisible = ClampInt(a->firstVisible, 0, std::max(0, a->count - shown));
    }
    RequestRepaint(REPAINT_LAYOUT);
}

void MapModel::SelectSheet(int index)
{
    if (index < 0 || index >= sheetCount_)
        return;
    CommitCellEdit();
    previousSheet_ = activeSheet_;
    activeSheet_ = index;
    RebuildLayout();
    RequestRepaint(REPAINT_LAYOUT);
    SetViewMode(0);
    LocateOperatingPoint();
}

void MapModel::NextSheet(int direction)
{
    if (sheetCount_ < 2)
        return;
    // Direction 0 (Ctrl+Tab) goes back to the sheet shown before.
    if (direction == 0) {
        SelectSheet(previousSheet_);
        return;
    }
    int index = activeSheet_;
    for (int i = 0; i < sheetCount_; ++i) {
        index = (index + direction + sheetCount_) % sheetCount_;
        if (!SheetAt(index).hidden) {
            SelectSheet(index);
            return;
        }
    }
}

void MapModel::SetViewMode(int request)
{
    int view = (request == VIEW_TABLE || request == VIEW_2D || request == VIEW_3D) ? request : viewMode_;
    if (view == VIEW_TABLE && !(options_ & OPT_TABLE))
        view = VIEW_2D;
    if (view == VIEW_2D && !(options_ & OPT_GRAPH2D))
        view = VIEW_3D;
    if (view == VIEW_3D && !(options_ & OPT_GRAPH3D))
        view = VIEW_POINTS;
    if (view == VIEW_POINTS && !(options_ & OPT_COMPACT_POINTS))
        view = (options_ & OPT_TABLE) ? VIEW_TABLE : (options_ & OPT_GRAPH2D) ? VIEW_2D : VIEW_NONE;
    // A compact-point map shows its table as the point view.
    if (view == VIEW_TABLE && (options_ & OPT_COMPACT_POINTS))
        view = VIEW_POINTS;
    if (view != viewMode_) {
        viewMode_ = viewBits_ = view;
        RequestRepaint(REPAINT_LAYOUT);
    }
}

bool MapModel::ScrollTo(int column, int row)
{
    if (sheetCount_ == 0)
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
        first = ClampInt(first, 0, std::max(0, a.count - shown));
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

bool MapModel::UseAxes(int command)
{
    if (sheetCount_ == 0)
        return false;
    if (command != CMD_ONLY_X && command != CMD_ONLY_Y && command != CMD_BOTH)
        return false;
    MapSheet& s = Sheet();
    const bool xOff = command == CMD_ONLY_Y, yOff = command == CMD_ONLY_X;
    // An axis can be switched off unless it is always used, and used unless it is always off.
    auto allowed = [](const MapAxis& a, bool off) {
        return off ? a.offMode != MapAxis::OFF_NEVER : a.offMode < MapAxis::OFF_ALWAYS;
    };
    if (!allowed(s.axisX, xOff) || !allowed(s.axisY, yOff) || !s.enabled)
        return false;
    NoteChange(0, ChangeBegin);
    s.axisX.off = xOff;
    s.axisY.off = yOff;
    s.selection.Clear();
    // Reselecting recomputes offIndex and the layout; it is no change of sheet for Ctrl+Tab.
    const int previous = previousSheet_;
    SelectSheet(activeSheet_);
    previousSheet_ = previous;
    NoteChange(AXIS_ALL, CHANGE_NOW);
    return true;
}

void MapModel::ToggleSheetEnabled()
{
    if (sheetCount_ == 0 || !(Sheet().flags & SF_CAN_DISABLE))
        return;
    NoteChange(0, ChangeBegin);
    Sheet().enabled ^= 1;
    NoteChange(AXIS_ALL, ChangeEnd);
    RequestRepaint(REPAINT_LAYOUT);
}

void MapModel::ApplyCommand(int command)
{
    if (sheetCount_ == 0)
        return;
    switch (command) {
    case CMD_COPY:
        CopySelection();
        break;
    case CMD_COPY_TABLE:
        CopyTable();
        break;
    case CMD_PASTE:
        PasteClipboard();
        break;
    case CMD_STEP_UP:
    case CMD_STEP_DOWN:
        CommitCellEdit();
        StepValues(command == CMD_STEP_UP ? 1 : -1);
        break;
    case CMD_VIEW_TABLE:
        SetViewMode(VIEW_TABLE);
        break;
    case CMD_VIEW_2D:
        SetViewMode(VIEW_2D);
        break;
    case CMD_VIEW_3D:
        SetViewMode(VIEW_3D);
        break;
    case CMD_ONLY_X:
    case CMD_ONLY_Y:
    case CMD_BOTH:
        UseAxes(command);
        break;
    case CMD_ENABLE_SHEET:
        ToggleSheetEnabled();
        break;
    case CMD_ADD_COLUMN:
        InsertLine(true, Sheet().axisX.count);
        break;
    case CMD_REMOVE_COLUMN:
        DeleteLine(true, Sheet().axisX.count - 1);
        break;
    case CMD_INTERPOLATE:
        InterpolateSelection();
        break;
    default:
        break;
    }
}

void MapModel::ShowMessage(const char* langText)
{
    if (host_)
        host_->ShowMapMessage(*this, LangText(langText));
    OnMessageShown();
}
