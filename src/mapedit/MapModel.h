#pragma once

#include "mapedit/MapSheet.h"
#include "mapedit/MapEditTypes.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class MapEditorHost;

// The model of one map editor: its sheets, the commit protocol, the live operating point and
// every editing operation. It needs no window; MapEditor adds the views on top of it.
class MapModel {
public:
    MapModel();
    virtual ~MapModel();
    MapModel(const MapModel&) = delete;
    MapModel& operator=(const MapModel&) = delete;

    int32_t ownerId = 0;
    int32_t options = OPT_TABLE;
    int32_t visibleColumns = 15;
    int32_t visibleRows = 10;
    int32_t sheetCount = 0;
    int32_t activeSheet = 0;
    int32_t previousSheet = 0;
    std::array<MapSheet, TAB_MAX_SHEETS> sheets;
    int32_t baseAdvance = 0;
    int32_t limiterRpm = 0;
    int32_t startLimiterRpm = 0;
    // Bit 1: the limiter, bit 2: the start limiter was moved in this editor since it was loaded.
    int32_t movedMarkers = 0;
    int32_t engineRpm = 0;
    int32_t throttle = 0;
    int32_t pressure = 0;
    int32_t monitorStatus = 0;
    int32_t tickCount = 0;
    int32_t pendingMask = 0;
    int32_t pendingChangeId = 0;
    int32_t commitTick = 0;
    // Bits of repaintFlags: the layout pass comes before the repaint it implies.
    enum RepaintFlag : int32_t { REPAINT = 1, REPAINT_LAYOUT = 2 };
    int32_t repaintFlags = 0;
    int32_t inPaint = 0;
    int32_t printMode = 0;
    int32_t* autoscroll = nullptr;
    int32_t viewMode = VIEW_TABLE;
    // The views painted now: viewMode, plus the 2D graph beside the table while it has room.
    int32_t viewBits = VIEW_TABLE;

    // Editing state. The views read it; the operations below change it.
    // The element under the mouse carries two step arrows; arrowPart is the one under the mouse.
    enum ArrowPart : int32_t { ARROW_NONE = 0, ARROW_UP = 1, ARROW_DOWN = 2 };
    int32_t hoverValid = 0, hoverColumn = NO_ELEMENT, hoverRow = NO_ELEMENT;
    int32_t arrowPart = ARROW_NONE;
    int32_t upHeld = 0, downHeld = 0;
    int32_t pressTick = 0;
    int32_t repeating = 0;
    // The open cell edit: its element, its text, the caret and the selected part of the text.
    int32_t editing = 0, editColumn = 0, editRow = 0;
    std::string editText;
    int32_t caret = 0, textSelStart = 0, textSelEnd = 0;
    int32_t blinkPhase = 0;
    int32_t shiftDown = 0, ctrlDown = 0;
    // A fill or move drag of the selection box in the table; boxes are held as
    // { column0, row0, column1, row1 }, and blockSaved keeps the dragged axis (or the cells) as
    // they were at the press, so the drag reads unchanged values however far it goes.
    enum BlockDragMode : int32_t { BLOCK_NONE = 0, BLOCK_FILL = 1, BLOCK_MOVE = 2 };
    enum BoxIndex { BOX_X0, BOX_Y0, BOX_X1, BOX_Y1 };
    int32_t blockDrag = BLOCK_NONE;
    std::array<int32_t, 4> blockStart { NO_ELEMENT, NO_ELEMENT, NO_ELEMENT, NO_ELEMENT };
    std::array<int32_t, 4> blockTarget { NO_ELEMENT, NO_ELEMENT, NO_ELEMENT, NO_ELEMENT };
    std::vector<int32_t> blockSaved;

    void SetHost(MapEditorHost* h) { host = h; }
    MapEditorHost* Host() const { return host; }

    // Definition, in this order: AddSheet, DefineAxis, NormalizeSheet (mask 0x107), SelectSheet(0).
    int AddSheet(const char* label, const char* labelX, const char* labelY, const char* labelData, int maxX, int maxY,
        int sheetFlags);
    void DefineAxis(int sheet, int which, const char* name, const char* unit, int32_t minValue, int32_t maxValue,
        double scale, int32_t minSpacing, const AxisRange* rangeTable, int editable, int flags, int minCount, int count,
        int offMode, int off, int resizable, int offPosition, int group, uint32_t color);
    void NormalizeSheet(int sheet, int mask);
    virtual void SelectSheet(int index);
    // 1 table, 2 2D graph, 4 3D graph; 0 re-checks the present view against the options.
    void SetViewMode(int request);
    // Recomputes what depends on the counts and off flags; the view adds its geometry.
    virtual void RebuildLayout();

    // One main-timer tick: commits gathered edits, repeats held arrows, follows the operating point.
    void TabTick();
    // The commit protocol: mask 0 before a change, the changed axes after it.
    void NoteChange(int mask, int changeId);
    // The owner changed the arrays from the image: the push memory starts again from here.
    void RememberValues();

    MapSheet& Sheet() { return sheets[static_cast<size_t>(activeSheet)]; }
    const MapSheet& Sheet() const { return sheets[static_cast<size_t>(activeSheet)]; }
    MapSelection& Sel() { return Sheet().selection; }
    int ShownColumns() const;
    int ShownRows() const;

    // Live operating point.
    void LocateOperatingPoint();

    // Editing operations on the active sheet.
    void StepValues(int direction, bool ignoreSelection = false);
    void StepHovered(int amount);
    void PressArrow(bool up);
    void ReleaseArrow();
    bool BeginCellEdit(int column, int row, bool empty);
    // Stores the typed value, if it is a number; does nothing while no edit is open.
    void CommitCellEdit();
    void CancelCellEdit();
    bool IsEditing(int column, int row) const { return editing && editColumn == column && editRow == row; }
    // Mouse selection inside the open edit: the caret at caretAt, the text from anchor to it selected.
    void SelectEditText(int anchor, int caretAt);
    // Selects all of the edit text; the caret stays.
    void SelectAllEditText();
    // Moves the caret without changing the selected text.
    void PlaceEditCaret(int at);
    // The element that carries the step arrows; a change repaints.
    void SetHovered(bool valid, int column, int row);
    bool EditKey(int key);
    void MoveCursor(int key);
    bool InsertLine(bool isColumn, int index);
    bool DeleteLine(bool isColumn, int index);
    bool DeleteSelectedLines(bool isColumn);
    int CountDeletableLines(bool isColumn) const;
    bool CanInterpolate() const;
    bool InterpolateSelection();
    // Computes the interpolation of the selection into sheet (a copy for the preview).
    bool ComputeInterpolation(MapSheet& sheet) const;
    bool UseAxes(int command);
    void ToggleSheetEnabled();
    void NextSheet(int direction);

    // Selection helpers.
    void SelectElement(int column, int row);
    void ExtendSelection(int column, int row);
    void SelectAllCells();
    void SelectAllHeaders(bool columns);
    bool SelectionEditable() const;
    bool SomethingEditable() const;

    // Rubber band in elements: kind is a SelKind; the band spans the two elements.
    void BeginBand(int kind, int column, int row, bool shift, bool ctrl);
    // Marks every element between the band's first element and this one.
    void DragBand(int column, int row);
    void EndBand();

    // Block drags (a BlockDragMode). The target follows the element under the mouse.
    bool BeginBlockDrag(int mode, int column, int row);
    void UpdateBlockDrag(int column, int row);
    void FinishBlockDrag();

    bool ScrollTo(int column, int row);
    virtual void RunCommand(int command);
    // Keys: characters as themselves, navigation keys as key code x 256.
    virtual bool OnKey(int key, bool shift, bool ctrl);

    // Clipboard commands working through the clipboard hooks below.
    void CopyCommand();
    void CopyTableCommand();
    void PasteCommand();
    // Clipboard hooks; the model keeps an in-process clipboard, the widget uses the system's.
    virtual void ClipboardSet(const std::string& plain, const std::string* sheet);
    // Bits of ClipboardFormats: what the clipboard holds now.
    enum ClipboardFormat { CLIP_TEXT = 1, CLIP_SHEET = 2 };
    virtual int ClipboardFormats() const;
    virtual std::string ClipboardText(bool sheetFormat) const;

protected:
    // flags are RepaintFlag bits.
    virtual void RequestRepaint(int flags) { repaintFlags |= flags; }
    virtual void OnScrolled() { hoverValid = 0; }
    virtual int MeasureLabelWidth(const char* text, int fontSize) const;
    virtual void OnViewTick() { }
    // A message box has been shown: the press that led to it never sees its release.
    virtual void OnMessageShown() { }
    void ShowMessage(const char* langText);
    void CommitNow();

    MapEditorHost* host = nullptr;

private:
    void NormalizeAxis(MapAxis& axis);
    void RepeatHeldArrow();
    void StepElement(int column, int row, int amount);
    void StepSelection(int amount);
    void ClampCursor(int& column, int& row) const;
    void PasteIntoEdit(const std::string& text);
    void InsertEditText(const std::string& text);

    bool TableKey(int key);
    void RemoveLine(bool isColumn, int index);
    bool LineDeletable(bool isColumn, int index) const;

    int editAnchor_ = 0;
    int grabColumn_ = 0, grabRow_ = 0;
    // The in-process clipboard, shared by every editor like the system's.
    static inline std::string localPlain_;
    static inline std::string localSheet_;
    static inline int localFormats_ = 0;
    int bandKind_ = 0;
    int bandStartColumn_ = -1, bandStartRow_ = -1;
};
