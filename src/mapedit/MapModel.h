#pragma once

#include "mapedit/MapEditTypes.h"
#include "mapedit/MapSheet.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class MapEditorHost;

// The model of one map editor: its sheets with their cells, axes and selection, the commit
// protocol, the live operating point and every operation that changes values. It needs no window
// and knows nothing of the mouse: MapInteraction turns input into these operations, MapEditor adds
// the views on top.
class MapModel {
public:
    // Bits of a repaint request: the layout pass comes before the repaint it implies. REPAINT_LIVE
    // asks only for the live marks (operating point, engine-speed line), which have moved.
    enum RepaintFlag : int32_t { REPAINT = 1, REPAINT_LAYOUT = 2, REPAINT_LIVE = 4 };
    // Bits of ClipboardFormats: what the clipboard holds now.
    enum ClipboardFormat { CLIP_TEXT = 1, CLIP_SHEET = 2 };
    // Bits of MovedMarkers.
    enum MovedMarker : int32_t { MOVED_LIMITER = 1, MOVED_START_LIMITER = 2 };

    MapModel();
    virtual ~MapModel();
    MapModel(const MapModel&) = delete;
    MapModel& operator=(const MapModel&) = delete;

    // Identity and options, given by the owner at creation.
    int32_t OwnerId() const { return ownerId_; }
    void SetOwnerId(int32_t id) { ownerId_ = id; }
    int32_t Options() const { return options_; }
    void SetOptions(int32_t options) { options_ = options; }
    // How many columns and rows the table view shows at once.
    int32_t VisibleColumns() const { return visibleColumns_; }
    int32_t VisibleRows() const { return visibleRows_; }
    void SetVisibleColumns(int32_t columns) { visibleColumns_ = columns; }
    void SetVisibleRows(int32_t rows) { visibleRows_ = rows; }
    // The window's "Autoscroll actual position" switch, shared by all its editors; none alone.
    int32_t* AutoscrollSwitch() const { return autoscroll_; }
    void SetAutoscrollSwitch(int32_t* shared) { autoscroll_ = shared; }
    void SetHost(MapEditorHost* h) { host_ = h; }
    MapEditorHost* Host() const { return host_; }

    // Definition, in this order: AddSheet, DefineAxis, NormalizeSheet (mask 0x107), SelectSheet(0).
    int AddSheet(const char* label, const char* labelX, const char* labelY, const char* labelData, int maxX, int maxY,
        int sheetFlags);
    void DefineAxis(int sheet, int which, const char* name, const char* unit, int32_t minValue, int32_t maxValue,
        double scale, int32_t minSpacing, const AxisRange* rangeTable, int editable, int flags, int minCount, int count,
        int offMode, int off, int resizable, int offPosition, int group, uint32_t color);
    void NormalizeSheet(int sheet, int mask);
    virtual void SelectSheet(int index);
    void NextSheet(int direction);
    // 1 table, 2 2D graph, 4 3D graph; 0 re-checks the present view against the options.
    void SetViewMode(int request);
    // Recomputes what depends on the counts and off flags; the view adds its geometry.
    virtual void RebuildLayout();

    int SheetCount() const { return sheetCount_; }
    int ActiveSheet() const { return activeSheet_; }
    MapSheet& SheetAt(int index) { return sheets_[static_cast<size_t>(index)]; }
    const MapSheet& SheetAt(int index) const { return sheets_[static_cast<size_t>(index)]; }
    MapSheet& Sheet() { return SheetAt(activeSheet_); }
    const MapSheet& Sheet() const { return SheetAt(activeSheet_); }
    MapSelection& Sel() { return Sheet().selection; }
    const MapSelection& Sel() const { return Sheet().selection; }
    int ShownColumns() const;
    int ShownRows() const;
    // The present view (a TabView) and the views painted now: the 2D graph may join the table.
    int32_t ViewMode() const { return viewMode_; }
    int32_t ViewBits() const { return viewBits_; }
    int32_t RepaintFlags() const { return repaintFlags_; }

    // The markers the graphs draw and the editor adjusts: base advance in degrees, rev limiter
    // and start limiter in rpm.
    int32_t BaseAdvance() const { return baseAdvance_; }
    void SetBaseAdvance(int32_t degrees) { baseAdvance_ = degrees; }
    int32_t LimiterRpm() const { return limiterRpm_; }
    void SetLimiterRpm(int32_t rpm) { limiterRpm_ = rpm; }
    int32_t StartLimiterRpm() const { return startLimiterRpm_; }
    void SetStartLimiterRpm(int32_t rpm) { startLimiterRpm_ = rpm; }
    // The limiters moved in this editor since they were loaded (MovedMarker bits).
    int32_t MovedMarkers() const { return movedMarkers_; }
    void SetMovedMarkers(int32_t bits) { movedMarkers_ = bits; }

    // The live operating point, fed by the owner before every tick: rpm, percent, kPa and the
    // monitor's status bits.
    int32_t EngineRpm() const { return engineRpm_; }
    void SetEngineRpm(int32_t rpm) { engineRpm_ = rpm; }
    int32_t Throttle() const { return throttle_; }
    void SetThrottle(int32_t percent) { throttle_ = percent; }
    int32_t Pressure() const { return pressure_; }
    void SetPressure(int32_t kPa) { pressure_ = kPa; }
    int32_t MonitorStatus() const { return monitorStatus_; }
    void SetMonitorStatus(int32_t bits) { monitorStatus_ = bits; }
    void LocateOperatingPoint();

    // One main-timer tick: commits gathered edits, lets the input layer work, follows the
    // operating point.
    void TabTick();
    int32_t TickCount() const { return tickCount_; }
    // The commit protocol: mask 0 before a change, the changed axes after it.
    void NoteChange(int mask, int changeId);
    // The axes changed since the last commit; non-zero while a commit is due.
    int32_t PendingMask() const { return pendingMask_; }
    // The owner changed the arrays from the image: the push memory starts again from here.
    void RememberValues();
    // flags are RepaintFlag bits.
    virtual void RequestRepaint(int flags) { repaintFlags_ |= flags; }

    // Stepping values up and down.
    void StepValues(int direction, bool ignoreSelection = false);
    // Steps an element, or the whole selection when the element is part of it.
    void StepAt(int column, int row, int amount);

    // The open cell edit: its element and its text. The caret lives with the input.
    bool BeginCellEdit(int column, int row, bool empty);
    // Stores the typed value, if it is a number; does nothing while no edit is open.
    void CommitCellEdit();
    void CancelCellEdit();
    bool Editing() const { return editing_; }
    bool IsEditing(int column, int row) const { return editing_ && editColumn_ == column && editRow_ == row; }
    int EditColumn() const { return editColumn_; }
    int EditRow() const { return editRow_; }
    const std::string& EditText() const { return editText_; }
    void SetEditText(const std::string& text) { editText_ = text; }

    // Selection.
    void SelectElement(int column, int row);
    void ExtendSelection(int column, int row);
    void SelectAllCells();
    void SelectAllHeaders(bool columns);
    bool SelectionEditable() const;
    bool SomethingEditable() const;

    // Edits of the selected cells in the map's user units: set every cell to a value, add a value,
    // scale by a percentage of the present value (110 is ten percent more) or smooth (each cell
    // to the mean of its neighbours inside the selection, the selection's edges kept). Results are
    // rounded to the map's step and clamped to its range; the whole edit is one change. Returns
    // whether a cell changed.
    enum CellEdit : int32_t { EDIT_SET, EDIT_ADD, EDIT_SCALE, EDIT_SMOOTH };
    bool EditSelectedCells(CellEdit edit, double value = 0.0);
    bool CanEditSelectedCells() const;
    // Selects the cells between two shown positions (0-based, counted as the table shows them);
    // false when a position lies outside the shown table.
    bool SelectShownCells(int firstColumn, int firstRow, int lastColumn, int lastRow);

    // Lines and interpolation.
    bool InsertLine(bool isColumn, int index);
    bool DeleteLine(bool isColumn, int index);
    bool DeleteSelectedLines(bool isColumn);
    int CountDeletableLines(bool isColumn) const;
    bool CanInterpolate() const;
    bool InterpolateSelection();
    // Computes the interpolation of the selection into sheet (a copy for the preview).
    bool ComputeInterpolation(MapSheet& sheet) const;

    // A fill or move of the selection box: saved holds the dragged axis (or the cells) as they
    // were when the drag began, from the box start; the target box receives the values.
    void ApplyBlock(bool fill, const std::vector<int32_t>& saved, const MapBox& start, const MapBox& target);

    bool UseAxes(int command);
    void ToggleSheetEnabled();
    bool ScrollTo(int column, int row);
    // The numbered commands that change the model alone (steps, views, axes, columns,
    // interpolation, copying the table); MapInteraction adds those that depend on the input.
    void ApplyCommand(int command);

    // The clipboard: copying the selection or the whole table, pasting into the selection or the
    // table. The hooks below keep an in-process clipboard; the widget uses the system's.
    void CopySelection();
    void CopyTable();
    void PasteClipboard();
    virtual void ClipboardSet(const std::string& plain, const std::string* sheet);
    virtual int ClipboardFormats() const;
    virtual std::string ClipboardText(bool sheetFormat) const;

protected:
    virtual void OnScrolled() { }
    virtual int MeasureLabelWidth(const char* text, int fontSize) const;
    // The input layer's work on a tick, after due edits are committed and before the operating
    // point is followed.
    virtual void OnInputTick() { }
    // The views' work at the end of a tick.
    virtual void OnViewTick() { }
    // A message box has been shown: the press that led to it never sees its release.
    virtual void OnMessageShown() { }
    void ShowMessage(const char* langText);
    void CommitNow();

    int32_t viewMode_ = VIEW_TABLE;
    int32_t viewBits_ = VIEW_TABLE;
    int32_t repaintFlags_ = 0;

private:
    void NormalizeAxis(MapAxis& axis);
    void StepElement(int column, int row, int amount);
    void StepSelection(int amount);
    void RemoveLine(bool isColumn, int index);
    bool LineDeletable(bool isColumn, int index) const;

    MapEditorHost* host_ = nullptr;
    int32_t ownerId_ = 0, options_ = OPT_TABLE;
    int32_t visibleColumns_ = 15, visibleRows_ = 10;
    int32_t* autoscroll_ = nullptr;
    int32_t sheetCount_ = 0, activeSheet_ = 0, previousSheet_ = 0;
    std::array<MapSheet, TAB_MAX_SHEETS> sheets_;
    int32_t baseAdvance_ = 0, limiterRpm_ = 0, startLimiterRpm_ = 0, movedMarkers_ = 0;
    int32_t engineRpm_ = 0, throttle_ = 0, pressure_ = 0, monitorStatus_ = 0;
    // The commit protocol: the changed axes gathered, the target they belong to, when they commit.
    int32_t tickCount_ = 0, pendingMask_ = 0, pendingChangeId_ = 0, commitTick_ = 0;
    bool editing_ = false;
    int32_t editColumn_ = 0, editRow_ = 0;
    std::string editText_;
    // The in-process clipboard, shared by every editor like the system's.
    static inline std::string localPlain_;
    static inline std::string localSheet_;
    static inline int localFormats_ = 0;
};
