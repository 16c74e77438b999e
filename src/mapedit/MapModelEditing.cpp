#include "mapedit/MapModel.h"

#include "mapedit/FormatAxisValue.h"
#include "mapedit/SheetClipboard.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// Values are computed in double; a typed or extrapolated number beyond this bound would not fit
// the raw int32 cells, so it is held at the bound and the normalization clamps it further.
constexpr double RAW_LIMIT = 2.0e9;

int32_t TruncatedRaw(double value)
{
    return static_cast<int32_t>(std::trunc(std::clamp(value, -RAW_LIMIT, RAW_LIMIT)));
}

// Added before truncating, this offset rounds half away from zero.
double RoundingOffset(double number) { return number >= 0 ? 0.5 : -0.5; }

// The characters a cell edit accepts; typed on a selection they open an edit.
bool IsEditChar(int key) { return (key >= '0' && key <= '9') || key == ' ' || key == ',' || key == '-' || key == '.'; }

// Reads typed text as a number: the first comma is a decimal comma, spaces (thousands groups) and
// tabs are dropped, and anything else that is not part of the number refuses the whole text.
bool ParseTypedNumber(std::string text, double& number)
{
    const auto comma = text.find(',');
    if (comma != std::string::npos)
        text[comma] = '.';
    std::erase_if(text, [](char ch) { return ch == ' ' || ch == '\t'; });
    if (text.empty())
        return false;
    char* end = nullptr;
    number = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(number);
}

// The change mask of a committed selection: column headers change X, row headers Y, cells the data.
int MaskOfKind(int kind) { return kind == SEL_COLUMNS ? AXIS_X : kind == SEL_ROWS ? AXIS_Y : AXIS_DATA; }

const char* const ColumnsFull = "###Column count is on maximum !\nDelete some first...##Spaltenanzahl ist auf maximal "
                                "!\nLöschen einige erste...##Dosaženo maximálního počtu sloupců !\nNejprve nějaký "
                                "vymažte...";
const char* const RowsFull = "###Row count is on maximum !\nDelete some first...##Zeilenanzahl ist auf maximal "
                             "!\nLöschen einige erste...##Dosaženo maximálního počtu řádků !\nNejprve nějaký "
                             "vymažte...";

// The next cursor position for a navigation key; the header column and header row take part in
// the cycle unless the position is on the other header or that axis is off. False for other keys.
bool NextCursor(const MapSheet& s, int key, int& column, int& row)
{
    const int lastColumn = s.axisX.count - 1, lastRow = s.axisY.count - 1;
    const bool rowHeaderReachable = row != HEADER && !s.axisY.off;
    const bool columnHeaderReachable = column != HEADER && !s.axisX.off;
    const int firstColumn = rowHeaderReachable ? HEADER : 0;
    const int firstRow = columnHeaderReachable ? HEADER : 0;
    auto right = [&] { column = column + 1 > lastColumn ? firstColumn : column + 1; };
    auto down = [&] {
        const bool wrap = row + 1 > lastRow;
        row = wrap ? firstRow : row + 1;
        return wrap;
    };
    switch (key) {
    case KEY_RIGHT:
        right();
        break;
    case KEY_LEFT:
        column = column - 1 < firstColumn ? lastColumn : column - 1;
        break;
    case KEY_DOWN:
        down();
        break;
    case KEY_UP:
        row = row - 1 < firstRow ? lastRow : row - 1;
        break;
    case KEY_HOME:
        column = 0;
        break;
    case KEY_END:
        column = lastColumn;
        break;
    case KEY_PAGE_UP:
        row = 0;
        break;
    case KEY_PAGE_DOWN:
        row = lastRow;
        break;
    case KEY_ENTER:
        // Enter walks down the rows; past the last row it goes on in the next column.
        if (down())
            right();
        break;
    default:
        return false;
    }
    return true;
}

// Inserts an entry at index with its cells: the value and every cell become the mean of their
// neighbours (truncated), so an entry after the last one repeats the last.
void OpenLine(MapSheet& s, bool isColumn, int index)
{
    MapAxis& a = isColumn ? s.axisX : s.axisY;
    const int lines = isColumn ? TAB_MAX_Y : TAB_MAX_X;
    auto cell
        = [&](int along, int across) -> int32_t& { return isColumn ? s.Cell(along, across) : s.Cell(across, along); };
    for (int i = a.count; i > index; --i) {
        a.values[i] = a.values[i - 1];
        for (int k = 0; k < lines; ++k)
            cell(i, k) = cell(i - 1, k);
    }
    ++a.count;
    const int p = index == 0 ? index + 1 : index - 1;
    const int q = index + 1 < a.count ? index + 1 : index - 1;
    a.values[index] = (a.values[p] + a.values[q]) / 2;
    for (int k = 0; k < lines; ++k)
        cell(index, k) = (cell(p, k) + cell(q, k)) / 2;
    a.lastMoved = MapAxis::LAST_MOVED_NONE;
}

// Makes a new column (row) the selection: its cells in use, only the used one along an axis that is off.
void SelectLine(MapSelection& sel, bool isColumn, int index, const MapAxis& other)
{
    for (int k = 0; k < other.count; ++k)
        if (!other.off || k == other.offIndex)
            sel.SetMark(isColumn ? index : k, isColumn ? k : index, MARK_DRAG);
    sel.Commit();
    sel.startColumn = sel.endColumn = isColumn ? index : other.EntryAt(0);
    sel.startRow = sel.endRow = isColumn ? other.EntryAt(0) : index;
}

// A straight line by index between two axis values.
void InterpolateRun(std::vector<int32_t>& v, int i0, int i1)
{
    for (int i = i0 + 1; i < i1; ++i)
        v[i] = static_cast<int32_t>(std::lround(v[i0] + (v[i1] - v[i0]) * double(i - i0) / (i1 - i0)));
}

// Bilinear interpolation of the cells between four corners; proportional axes weigh by their
// values, the others by index.
void InterpolateRectangle(MapSheet& s, int c0, int r0, int c1, int r1)
{
    auto position = [](const MapAxis& a, int i) { return a.proportional ? double(a.values[i]) : double(i); };
    auto fraction = [&](const MapAxis& a, int i, int i0, int i1) {
        const double span = position(a, i1) - position(a, i0);
        return span == 0 ? 0.5 : (position(a, i) - position(a, i0)) / span;
    };
    const double v00 = s.Cell(c0, r0), v10 = s.Cell(c1, r0), v01 = s.Cell(c0, r1), v11 = s.Cell(c1, r1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            if ((c == c0 || c == c1) && (r == r0 || r == r1))
                continue;
            const double gx = fraction(s.axisX, c, c0, c1), gy = fraction(s.axisY, r, r0, r1);
            const double value = gx * (gy * v11 + (1 - gy) * v10) + (1 - gx) * (gy * v01 + (1 - gy) * v00);
            s.Cell(c, r) = static_cast<int32_t>(std::lround(value));
        }
}

// The block of a fill or move drag as it was at the press: the saved values and the starting box.
struct SavedBlock {
    const std::vector<int32_t>& values;
    int kind;
    const std::array<int32_t, 4>& box;

    double At(int c, int r) const
    {
        if (kind == SEL_COLUMNS)
            return values[static_cast<size_t>(c)];
        if (kind == SEL_ROWS)
            return values[static_cast<size_t>(r)];
        return values[static_cast<size_t>(r * TAB_MAX_X + c)];
    }

    // A fill keeps the box and continues it outward by the gradient of its nearest edge, in x and
    // in y added together; a box one element wide along a direction is repeated along it.
    double Filled(int c, int r) const
    {
        const int x0 = box[MapModel::BOX_X0], y0 = box[MapModel::BOX_Y0], x1 = box[MapModel::BOX_X1], y1 = box[MapModel::BOX_Y1];
        const int cc = Clamp(c, x0, x1), rr = Clamp(r, y0, y1);
        double value = At(cc, rr);
        if (c > x1 && x1 > x0)
            value += (At(x1, rr) - At(x1 - 1, rr)) * (c - x1);
        if (c < x0 && x1 > x0)
            value += (At(x0 + 1, rr) - At(x0, rr)) * (c - x0);
        if (r > y1 && y1 > y0)
            value += (At(cc, y1) - At(cc, y1 - 1)) * (r - y1);
        if (r < y0 && y1 > y0)
            value += (At(cc, y0 + 1) - At(cc, y0)) * (r - y0);
        return value;
    }
};

} // namespace

void MapModel::StepElement(int column, int row, int amount)
{
    MapSheet& s = Sheet();
    if (!s.Inside(column, row) || !s.AxisOf(column, row).editable)
        return;
    const int id = ChangeIdOfElement(column, row);
    NoteChange(0, id);
    s.Value(column, row) += amount;
    NoteChange(MapSheet::MaskOf(column, row), id);
}

void MapModel::StepSelection(int amount)
{
    MapSheet& s = Sheet();
    MapSelection& sel = s.selection;
    NoteChange(0, CHANGE_ID_SELECTION);
    // The mask names the highest kind stepped, so the commit covers everything that moved.
    int mask = 0;
    if (s.axisX.editable)
        for (int c = 0; c < s.axisX.count; ++c)
            if (sel.IsSelected(c, HEADER)) {
                s.axisX.values[c] += amount;
                mask = AXIS_X;
            }
    if (s.axisY.editable)
        for (int r = 0; r < s.axisY.count; ++r)
            if (sel.IsSelected(HEADER, r)) {
                s.axisY.values[r] += amount;
                mask = AXIS_Y;
            }
    if (s.axisData.editable)
        for (int r = 0; r < s.axisY.count; ++r)
            for (int c = 0; c < s.axisX.count; ++c)
                if (sel.IsSelected(c, r)) {
                    s.Cell(c, r) += amount;
                    mask = AXIS_DATA;
                }
    NoteChange(mask, CHANGE_ID_SELECTION);
}

void MapModel::StepValues(int direction, bool ignoreSelection)
{
    if (sheetCount == 0)
        return;
    MapSheet& s = Sheet();
    if (!ignoreSelection && s.selection.count > 0) {
        StepSelection(direction);
        return;
    }
    // Without a selection the keys adjust the "actual value": the cell the engine runs on.
    if (!(s.flags & SF_OPERATING_POINT) || s.opState <= MapSheet::OP_NONE)
        return;
    if ((s.flags & SF_BASE_ADVANCE) && s.opColumn == MapSheet::OP_BASE_ZONE) {
        NoteChange(0, CHANGE_ID_BASE_ADVANCE);
        baseAdvance += static_cast<int>(direction * s.axisData.scale);
        NoteChange(AXIS_DATA, CHANGE_ID_BASE_ADVANCE);
        return;
    }
    if (s.opColumn >= 0 && s.opRow >= 0 && s.opColumn < s.axisX.count && s.opRow < s.axisY.count)
        StepElement(s.opColumn, s.opRow, direction);
}

void MapModel::StepHovered(int amount)
{
    if (sheetCount == 0 || !hoverValid)
        return;
    const MapSheet& s = Sheet();
    // Stepping a selected element steps the whole selection with it.
    if (s.selection.IsSelected(hoverColumn, hoverRow) && s.AxisOf(hoverColumn, hoverRow).editable)
        StepSelection(amount);
    else
        StepElement(hoverColumn, hoverRow, amount);
}

void MapModel::PressArrow(bool up)
{
    CommitCellEdit();
    upHeld = up;
    downHeld = !up;
    pressTick = tickCount;
    repeating = 0;
    RequestRepaint(REPAINT);
}

void MapModel::ReleaseArrow()
{
    // A short click steps once on release; a held arrow has already stepped on the ticks.
    if ((upHeld || downHeld) && !repeating)
        StepHovered(upHeld ? 1 : -1);
    upHeld = downHeld = repeating = 0;
    RequestRepaint(REPAINT);
}

void MapModel::SetHovered(bool valid, int column, int row)
{
    if (hoverValid == valid && hoverColumn == column && hoverRow == row)
        return;
    hoverValid = valid;
    hoverColumn = column;
    hoverRow = row;
    RequestRepaint(REPAINT);
}

bool MapModel::BeginCellEdit(int column, int row, bool empty)
{
    if (sheetCount == 0)
        return false;
    MapSheet& s = Sheet();
    if (!s.Inside(column, row) || !s.AxisOf(column, row).editable)
        return false;
    const MapAxis& a = s.AxisOf(column, row);
    editing = 1;
    editColumn = column;
    editRow = row;
    editText = empty ? std::string() : FormatAxisValue(s.Value(column, row), a.scale, nullptr, false);
    caret = editAnchor_ = static_cast<int>(editText.size());
    textSelStart = textSelEnd = caret;
    blinkPhase = 0;
    RequestRepaint(REPAINT);
    return true;
}

void MapModel::CancelCellEdit()
{
    editing = 0;
    RequestRepaint(REPAINT);
}

void MapModel::CommitCellEdit()
{
    if (!editing)
        return;
    // The edit closes either way; text that is no number leaves the old value.
    CancelCellEdit();
    double number;
    if (!ParseTypedNumber(editText, number))
        return;
    MapSheet& s = Sheet();
    if (!s.Inside(editColumn, editRow))
        return;
    const MapAxis& a = s.AxisOf(editColumn, editRow);
    NoteChange(0, ChangeBegin);
    s.Value(editColumn, editRow) = TruncatedRaw(number / a.scale + RoundingOffset(number));
    NoteChange(MapSheet::MaskOf(editColumn, editRow), CHANGE_NOW);
}

void MapModel::SelectEditText(int anchor, int caretAt)
{
    caret = caretAt;
    textSelStart = std::min(anchor, caretAt);
    textSelEnd = std::max(anchor, caretAt);
}

void MapModel::SelectAllEditText()
{
    textSelStart = 0;
    textSelEnd = static_cast<int>(editText.size());
}

void MapModel::PlaceEditCaret(int at) { caret = at; }

void MapModel::InsertEditText(const std::string& text)
{
    if (textSelStart != textSelEnd) {
        editText.erase(static_cast<size_t>(textSelStart), static_cast<size_t>(textSelEnd - textSelStart));
        caret = textSelStart;
    }
    const size_t room
        = TAB_EDIT_MAX_CHARS > static_cast<int>(editText.size()) ? TAB_EDIT_MAX_CHARS - editText.size() : 0;
    const std::string piece = text.substr(0, room);
    editText.insert(static_cast<size_t>(caret), piece);
    caret += static_cast<int>(piece.size());
    textSelStart = textSelEnd = editAnchor_ = caret;
}

bool MapModel::EditKey(int key)
{
    const int length = static_cast<int>(editText.size());
    const bool hasSel = textSelStart != textSelEnd;
    // With Shift the caret drags the text selection from the anchor; without, the anchor follows.
    auto moveCaret = [&](int to) {
        to = Clamp(to, 0, length);
        if (!shiftDown)
            editAnchor_ = to;
        caret = to;
        textSelStart = std::min(editAnchor_, caret);
        textSelEnd = std::max(editAnchor_, caret);
    };
    if (IsEditChar(key)) {
        if (length < TAB_EDIT_MAX_CHARS || hasSel)
            InsertEditText(std::string(1, static_cast<char>(key)));
    } else if (key == KEY_BACKSPACE || key == KEY_DELETE) {
        if (hasSel) {
            InsertEditText("");
        } else if (key == KEY_BACKSPACE && caret > 0) {
            editText.erase(static_cast<size_t>(--caret), 1);
        } else if (key == KEY_DELETE && caret < length) {
            editText.erase(static_cast<size_t>(caret), 1);
        }
        textSelStart = textSelEnd = editAnchor_ = caret;
    } else if (key == KEY_LEFT) {
        moveCaret(caret - 1);
    } else if (key == KEY_RIGHT) {
        moveCaret(caret + 1);
    } else if (key == KEY_HOME) {
        moveCaret(0);
    } else if (key == KEY_END) {
        moveCaret(length);
    } else if (key == KEY_ESC) {
        CancelCellEdit();
    } else if (key == KEY_ENTER || key == KEY_PAGE_UP || key == KEY_PAGE_DOWN || key == KEY_UP || key == KEY_DOWN) {
        CommitCellEdit();
    } else if (key != '+') {
        // Plus is swallowed inside an edit so that it does not step the value being typed.
        return false;
    }
    // Every key in the edit shows the caret at once.
    blinkPhase = 0;
    RequestRepaint(REPAINT);
    return true;
}

void MapModel::PasteIntoEdit(const std::string& text) { InsertEditText(FilterEditPaste(text)); }

void MapModel::SelectElement(int column, int row)
{
    MapSelection& sel = Sel();
    sel.Clear();
    sel.SetMark(column, row, MARK_DRAG);
    sel.Commit();
    sel.startColumn = sel.endColumn = column;
    sel.startRow = sel.endRow = row;
    RequestRepaint(REPAINT);
}

void MapModel::ExtendSelection(int column, int row)
{
    MapSelection& sel = Sel();
    const MapSheet& s = Sheet();
    if (sel.startColumn < HEADER || sel.startRow < HEADER || !s.Inside(sel.startColumn, sel.startRow)) {
        SelectElement(column, row);
        return;
    }
    // The extension stays in the kind of its start element: a header run or a cell rectangle.
    if (sel.startRow == HEADER)
        row = HEADER, column = std::max(column, 0);
    else if (sel.startColumn == HEADER)
        column = HEADER, row = std::max(row, 0);
    else
        column = std::max(column, 0), row = std::max(row, 0);
    sel.Clear();
    sel.MarkRange(sel.startColumn, sel.startRow, column, row);
    sel.Commit();
    sel.endColumn = column;
    sel.endRow = row;
    RequestRepaint(REPAINT);
}

void MapModel::ClampCursor(int& column, int& row) const
{
    const MapSheet& s = Sheet();
    if (s.axisX.off)
        column = s.axisX.offIndex;
    if (s.axisY.off)
        row = s.axisY.offIndex;
    column = Clamp(column, HEADER, s.axisX.count - 1);
    row = Clamp(row, HEADER, s.axisY.count - 1);
    // The corner where the two headers meet is no element.
    if (column == HEADER && row == HEADER)
        row = 0;
}

void MapModel::MoveCursor(int key)
{
    const MapSelection& sel = Sheet().selection;
    int column = sel.count ? sel.endColumn : 0;
    int row = sel.count ? sel.endRow : 0;
    // Without a selection the first key only puts the cursor on the first cell.
    if (!sel.count) {
        ClampCursor(column, row);
        SelectElement(column, row);
        ScrollTo(column, row);
        return;
    }
    if (!NextCursor(Sheet(), key, column, row))
        return;
    ClampCursor(column, row);
    if (shiftDown)
        ExtendSelection(column, row);
    else
        SelectElement(column, row);
    ScrollTo(column, row);
}

void MapModel::RemoveLine(bool isColumn, int index)
{
    MapSheet& s = Sheet();
    MapAxis& a = isColumn ? s.axisX : s.axisY;
    MapSelection& sel = s.selection;
    // The marks move with their values so that the rest of the selection stays on the same elements.
    for (int i = index; i + 1 < a.count; ++i) {
        a.values[i] = a.values[i + 1];
        if (isColumn) {
            sel.columnMarks[i] = sel.columnMarks[i + 1];
            for (int r = 0; r < TAB_MAX_Y; ++r) {
                s.Cell(i, r) = s.Cell(i + 1, r);
                sel.cellMarks[r][i] = sel.cellMarks[r][i + 1];
            }
        } else {
            sel.rowMarks[i] = sel.rowMarks[i + 1];
            for (int c = 0; c < TAB_MAX_X; ++c) {
                s.Cell(c, i) = s.Cell(c, i + 1);
                sel.cellMarks[i][c] = sel.cellMarks[i + 1][c];
            }
        }
    }
    --a.count;
    if (isColumn) {
        sel.columnMarks[a.count] = 0;
        for (int r = 0; r < TAB_MAX_Y; ++r)
            sel.cellMarks[r][a.count] = 0;
    } else {
        sel.rowMarks[a.count] = 0;
        sel.cellMarks[a.count].fill(0);
    }
    a.lastMoved = MapAxis::LAST_MOVED_NONE;
}

bool MapModel::InsertLine(bool isColumn, int index)
{
    if (sheetCount == 0)
        return false;
    MapSheet& s = Sheet();
    MapAxis& a = isColumn ? s.axisX : s.axisY;
    const MapAxis& other = isColumn ? s.axisY : s.axisX;
    if (!a.resizable)
        return false;
    if (a.count >= a.maxCount) {
        ShowMessage(isColumn ? ColumnsFull : RowsFull);
        return false;
    }
    index = Clamp(index, 0, a.count);
    CommitCellEdit();
    NoteChange(0, ChangeBegin);
    s.selection.Clear();
    OpenLine(s, isColumn, index);
    RebuildLayout();
    SelectLine(s.selection, isColumn, index, other);
    ScrollTo(isColumn ? index : HEADER, isColumn ? HEADER : index);
    NoteChange((isColumn ? AXIS_X : AXIS_Y) | AXIS_DATA, ChangeEnd);
    return true;
}

bool MapModel::DeleteLine(bool isColumn, int index)
{
    if (sheetCount == 0)
        return false;
    MapSheet& s = Sheet();
    MapAxis& a = isColumn ? s.axisX : s.axisY;
    if (!a.resizable || a.off || a.count <= a.minCount || index < 0 || index >= a.count)
        return false;
    CommitCellEdit();
    NoteChange(0, ChangeBegin);
    RemoveLine(isColumn, index);
    RebuildLayout();
    NoteChange((isColumn ? AXIS_X : AXIS_Y) | AXIS_DATA, ChangeEnd);
    return true;
}

bool MapModel::LineDeletable(bool isColumn, int index) const
{
    const MapSheet& s = Sheet();
    const MapSelection& sel = s.selection;
    if (sel.kind == (isColumn ? SEL_COLUMNS : SEL_ROWS))
        return isColumn ? sel.IsSelected(index, HEADER) : sel.IsSelected(HEADER, index);
    if (sel.kind != SEL_CELLS)
        return false;
    // A cell selection deletes a line only when it covers every cell of it that is in use.
    const MapAxis& other = isColumn ? s.axisY : s.axisX;
    for (int k = 0; k < other.count; ++k) {
        if (other.off && k != other.offIndex)
            continue;
        if (!(isColumn ? sel.IsSelected(index, k) : sel.IsSelected(k, index)))
            return false;
    }
    return true;
}

int MapModel::CountDeletableLines(bool isColumn) const
{
    if (sheetCount == 0)
        return 0;
    const MapAxis& a = isColumn ? Sheet().axisX : Sheet().axisY;
    int n = 0;
    for (int i = 0; i < a.count; ++i)
        n += LineDeletable(isColumn, i);
    return n;
}

bool MapModel::DeleteSelectedLines(bool isColumn)
{
    if (sheetCount == 0)
        return false;
    MapAxis& a = isColumn ? Sheet().axisX : Sheet().axisY;
    if (!a.resizable || a.off || CountDeletableLines(isColumn) == 0)
        return false;
    CommitCellEdit();
    NoteChange(0, ChangeBegin);
    // A deletion moves the next line to index i, so the same index is tested again.
    for (int i = 0; i < a.count && a.count > a.minCount;) {
        if (LineDeletable(isColumn, i))
            RemoveLine(isColumn, i);
        else
            ++i;
    }
    Sel().Clear();
    RebuildLayout();
    NoteChange((isColumn ? AXIS_X : AXIS_Y) | AXIS_DATA, ChangeEnd);
    return true;
}

bool MapModel::CanInterpolate() const
{
    if (sheetCount == 0)
        return false;
    const MapSelection& sel = Sheet().selection;
    // Two elements have nothing between them to interpolate.
    return sel.interpolable && sel.count > 2 && SelectionEditable();
}

bool MapModel::ComputeInterpolation(MapSheet& s) const
{
    const MapSelection& sel = s.selection;
    if (!sel.interpolable || sel.count <= 2)
        return false;
    if (sel.kind == SEL_COLUMNS)
        InterpolateRun(s.axisX.values, sel.cornerX0, sel.cornerX1);
    else if (sel.kind == SEL_ROWS)
        InterpolateRun(s.axisY.values, sel.cornerY0, sel.cornerY1);
    else
        InterpolateRectangle(s, sel.cornerX0, sel.cornerY0, sel.cornerX1, sel.cornerY1);
    return true;
}

bool MapModel::InterpolateSelection()
{
    if (!CanInterpolate())
        return false;
    MapSheet& s = Sheet();
    const int mask = MaskOfKind(s.selection.kind);
    NoteChange(0, ChangeBegin);
    ComputeInterpolation(s);
    // Many axis values changed at once: the normalization orders them all instead of pushing.
    if (mask != AXIS_DATA)
        s.Axis(mask).lastMoved = MapAxis::LAST_MOVED_NONE;
    s.selection.Clear();
    NoteChange(mask, CHANGE_NOW);
    return true;
}

bool MapModel::UseAxes(int command)
{
    if (sheetCount == 0)
        return false;
    if (command != CMD_ONLY_X && command != CMD_ONLY_Y && command != CMD_BOTH)
        return false;
    MapSheet& s = Sheet();
    const bool xOff = command == CMD_ONLY_Y, yOff = command == CMD_ONLY_X;
    // An axis can be switched off unless it is always used, and used unless it is always off.
    auto allowed
        = [](const MapAxis& a, bool off) { return off ? a.OffMode != MapAxis::OFF_NEVER : a.OffMode < MapAxis::OFF_ALWAYS; };
    if (!allowed(s.axisX, xOff) || !allowed(s.axisY, yOff) || !s.enabled)
        return false;
    NoteChange(0, ChangeBegin);
    s.axisX.off = xOff;
    s.axisY.off = yOff;
    s.selection.Clear();
    // Reselecting recomputes offIndex and the layout; it is no change of sheet for Ctrl+Tab.
    const int previous = previousSheet;
    SelectSheet(activeSheet);
    previousSheet = previous;
    NoteChange(AXIS_ALL, CHANGE_NOW);
    return true;
}

void MapModel::ToggleSheetEnabled()
{
    if (sheetCount == 0 || !(Sheet().flags & SF_CAN_DISABLE))
        return;
    NoteChange(0, ChangeBegin);
    Sheet().enabled ^= 1;
    NoteChange(AXIS_ALL, ChangeEnd);
    RequestRepaint(REPAINT_LAYOUT);
}

void MapModel::NextSheet(int direction)
{
    if (sheetCount < 2)
        return;
    // Direction 0 (Ctrl+Tab) goes back to the sheet shown before.
    if (direction == 0) {
        SelectSheet(previousSheet);
        return;
    }
    int index = activeSheet;
    for (int i = 0; i < sheetCount; ++i) {
        index = (index + direction + sheetCount) % sheetCount;
        if (!sheets[static_cast<size_t>(index)].hidden) {
            SelectSheet(index);
            return;
        }
    }
}

void MapModel::SelectAllCells()
{
    MapSheet& s = Sheet();
    MapSelection& sel = s.selection;
    // The select-all box toggles: a second press on a fully selected map clears it.
    bool all = sel.kind == SEL_CELLS;
    for (int r = 0; all && r < s.axisY.Used(); ++r)
        for (int c = 0; all && c < s.axisX.Used(); ++c)
            all = sel.IsSelected(s.axisX.EntryAt(c), s.axisY.EntryAt(r));
    sel.Clear();
    if (!all) {
        for (int r = 0; r < s.axisY.Used(); ++r)
            for (int c = 0; c < s.axisX.Used(); ++c)
                sel.SetMark(s.axisX.EntryAt(c), s.axisY.EntryAt(r), MARK_DRAG);
        sel.startColumn = s.axisX.EntryAt(0);
        sel.startRow = s.axisY.EntryAt(0);
        sel.endColumn = s.axisX.EntryAt(s.axisX.Used() - 1);
        sel.endRow = s.axisY.EntryAt(s.axisY.Used() - 1);
    }
    sel.Commit();
    RequestRepaint(REPAINT);
}

void MapModel::SelectAllHeaders(bool columns)
{
    MapSheet& s = Sheet();
    if (!columns && s.axisY.off)
        return;
    MapSelection& sel = s.selection;
    sel.Clear();
    const MapAxis& a = columns ? s.axisX : s.axisY;
    for (int i = 0; i < a.Used(); ++i)
        sel.SetMark(columns ? a.EntryAt(i) : HEADER, columns ? HEADER : a.EntryAt(i), MARK_DRAG);
    sel.Commit();
    sel.startColumn = columns ? a.EntryAt(0) : HEADER;
    sel.startRow = columns ? HEADER : a.EntryAt(0);
    sel.endColumn = columns ? a.EntryAt(a.Used() - 1) : HEADER;
    sel.endRow = columns ? HEADER : a.EntryAt(a.Used() - 1);
    RequestRepaint(REPAINT);
}

bool MapModel::SelectionEditable() const
{
    if (sheetCount == 0)
        return false;
    const MapSheet& s = Sheet();
    switch (s.selection.kind) {
    case SEL_CELLS:
        return s.axisData.editable;
    case SEL_COLUMNS:
        return s.axisX.editable;
    case SEL_ROWS:
        return s.axisY.editable;
    default:
        return false;
    }
}

bool MapModel::SomethingEditable() const
{
    if (sheetCount == 0)
        return false;
    const MapSheet& s = Sheet();
    return s.axisX.editable || s.axisY.editable || s.axisData.editable;
}

void MapModel::BeginBand(int kind, int column, int row, bool shift, bool ctrl)
{
    MapSelection& sel = Sel();
    CommitCellEdit();
    // Shift spans the band from the selection's start element; Ctrl adds the band to the selection.
    const bool fromStart = shift && sel.count > 0 && Sheet().Inside(sel.startColumn, sel.startRow);
    if (!shift && !ctrl)
        sel.Clear();
    sel.ClearDragMarks();
    bandKind_ = kind;
    if (fromStart) {
        bandStartColumn_ = sel.startColumn;
        bandStartRow_ = sel.startRow;
        if (!ctrl) {
            const int c = sel.startColumn, r = sel.startRow;
            sel.Clear();
            sel.startColumn = c, sel.startRow = r;
        }
    } else {
        bandStartColumn_ = sel.startColumn = column;
        bandStartRow_ = sel.startRow = row;
    }
    sel.dragKind = kind | DRAG_RUBBER;
    DragBand(column, row);
}

void MapModel::DragBand(int column, int row)
{
    MapSheet& s = Sheet();
    MapSelection& sel = s.selection;
    if (!(sel.dragKind & DRAG_RUBBER))
        return;
    // The band is redrawn from its start each time, so elements it leaves lose their drag mark.
    sel.ClearDragMarks();
    const int lastColumn = s.axisX.count - 1, lastRow = s.axisY.count - 1;
    int c0 = Clamp(std::min(bandStartColumn_, column), 0, lastColumn);
    int c1 = Clamp(std::max(bandStartColumn_, column), 0, lastColumn);
    int r0 = Clamp(std::min(bandStartRow_, row), 0, lastRow);
    int r1 = Clamp(std::max(bandStartRow_, row), 0, lastRow);
    if (s.axisX.off)
        c0 = c1 = s.axisX.offIndex;
    if (s.axisY.off)
        r0 = r1 = s.axisY.offIndex;
    switch (bandKind_) {
    case SEL_COLUMNS:
        sel.MarkRange(c0, HEADER, c1, HEADER);
        break;
    case SEL_ROWS:
        sel.MarkRange(HEADER, r0, HEADER, r1);
        break;
    case SEL_WHOLE_COLUMNS:
        sel.MarkRange(c0, s.axisY.off ? r0 : 0, c1, s.axisY.off ? r1 : lastRow);
        break;
    case SEL_WHOLE_ROWS:
        sel.MarkRange(s.axisX.off ? c0 : 0, r0, s.axisX.off ? c1 : lastColumn, r1);
        break;
    default:
        sel.MarkRange(c0, r0, c1, r1);
        break;
    }
    sel.endColumn = bandKind_ == SEL_ROWS ? HEADER : Clamp(column, 0, lastColumn);
    sel.endRow = bandKind_ == SEL_COLUMNS ? HEADER : Clamp(row, 0, lastRow);
    sel.UpdateBox(MARK_DRAG);
    RequestRepaint(REPAINT);
}

void MapModel::EndBand()
{
    MapSelection& sel = Sel();
    if (!(sel.dragKind & DRAG_RUBBER))
        return;
    const int sc = sel.startColumn, sr = sel.startRow;
    sel.Commit();
    if (bandKind_ == SEL_COLUMNS)
        sel.startRow = sel.endRow = HEADER, sel.startColumn = std::max(sc, 0);
    else if (bandKind_ == SEL_ROWS)
        sel.startColumn = sel.endColumn = HEADER, sel.startRow = std::max(sr, 0);
    else
        sel.startColumn = std::max(sc, 0), sel.startRow = std::max(sr, 0);
    RequestRepaint(REPAINT);
}

bool MapModel::BeginBlockDrag(int mode, int column, int row)
{
    MapSheet& s = Sheet();
    MapSelection& sel = s.selection;
    if (sel.kind == SEL_NONE || !SelectionEditable() || (mode != BLOCK_FILL && mode != BLOCK_MOVE))
        return false;
    CommitCellEdit();
    blockStart = { sel.boxX0, sel.boxY0, sel.boxX1, sel.boxY1 };
    blockTarget = blockStart;
    const MapAxis& a = s.Axis(MaskOfKind(sel.kind));
    std::copy(a.values.begin(), a.values.end(), blockSaved.begin());
    grabColumn_ = column;
    grabRow_ = row;
    blockDrag = mode;
    NoteChange(0, ChangeBegin);
    return true;
}

void MapModel::UpdateBlockDrag(int column, int row)
{
    if (!blockDrag)
        return;
    const MapSheet& s = Sheet();
    const int kind = s.selection.kind;
    // A header run moves only along its axis, and nothing moves along an axis that is off.
    const bool alongX = kind != SEL_ROWS && !s.axisX.off;
    const bool alongY = kind != SEL_COLUMNS && !s.axisY.off;
    const int lastColumn = s.axisX.count - 1, lastRow = s.axisY.count - 1;
    auto& t = blockTarget;
    t = blockStart;
    if (blockDrag == BLOCK_FILL) {
        // A fill grows the starting box to take in the element under the mouse.
        if (alongX) {
            column = Clamp(column, 0, lastColumn);
            t[BOX_X0] = std::min(t[BOX_X0], column);
            t[BOX_X1] = std::max(t[BOX_X1], column);
        }
        if (alongY) {
            row = Clamp(row, 0, lastRow);
            t[BOX_Y0] = std::min(t[BOX_Y0], row);
            t[BOX_Y1] = std::max(t[BOX_Y1], row);
        }
    } else {
        // A move shifts the starting box by the mouse's way from the grab, kept inside the table.
        if (alongX) {
            const int dx = Clamp(column - grabColumn_, -blockStart[BOX_X0], lastColumn - blockStart[BOX_X1]);
            t[BOX_X0] += dx, t[BOX_X1] += dx;
        }
        if (alongY) {
            const int dy = Clamp(row - grabRow_, -blockStart[BOX_Y0], lastRow - blockStart[BOX_Y1]);
            t[BOX_Y0] += dy, t[BOX_Y1] += dy;
        }
    }
    RequestRepaint(REPAINT);
}

void MapModel::FinishBlockDrag()
{
    if (!blockDrag)
        return;
    MapSheet& s = Sheet();
    MapSelection& sel = s.selection;
    const int kind = sel.kind;
    const auto& b = blockStart;
    const auto& t = blockTarget;
    const SavedBlock saved { blockSaved, kind, b };
    const int shiftX = t[BOX_X0] - b[BOX_X0], shiftY = t[BOX_Y0] - b[BOX_Y0];
    sel.Clear();
    for (int r = t[BOX_Y0]; r <= t[BOX_Y1]; ++r)
        for (int c = t[BOX_X0]; c <= t[BOX_X1]; ++c) {
            if (!s.Inside(c, r))
                continue;
            const double value = blockDrag == BLOCK_FILL ? saved.Filled(c, r) : saved.At(c - shiftX, r - shiftY);
            s.Value(c, r) = TruncatedRaw(value);
            sel.SetMark(c, r, MARK_DRAG);
        }
    sel.Commit();
    sel.startColumn = t[BOX_X0], sel.startRow = t[BOX_Y0], sel.endColumn = t[BOX_X1], sel.endRow = t[BOX_Y1];
    const int mask = MaskOfKind(kind);
    if (mask != AXIS_DATA)
        s.Axis(mask).lastMoved = MapAxis::LAST_MOVED_NONE;
    blockDrag = BLOCK_NONE;
    NoteChange(mask, ChangeEnd);
}

void MapModel::RunCommand(int command)
{
    if (sheetCount == 0)
        return;
    switch (command) {
    case CMD_COPY:
        CopyCommand();
        break;
    case CMD_COPY_TABLE:
        CopyTableCommand();
        break;
    case CMD_PASTE:
        PasteCommand();
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

bool MapModel::TableKey(int key)
{
    if (editing)
        return EditKey(key);
    const MapSelection& sel = Sel();
    // Typing on a selection opens an edit of its start element: a character starts it empty
    // and goes in, Backspace and Delete leave it empty, Insert fills in the present value.
    if (IsEditChar(key) || key == KEY_BACKSPACE || key == KEY_DELETE || key == KEY_INSERT) {
        if (!sel.count || !BeginCellEdit(sel.startColumn, sel.startRow, key != KEY_INSERT))
            return false;
        if (IsEditChar(key))
            EditKey(key);
        return true;
    }
    if (key == KEY_ESC) {
        Sel().Clear();
        RequestRepaint(REPAINT);
        return true;
    }
    switch (key) {
    case KEY_LEFT:
    case KEY_RIGHT:
    case KEY_UP:
    case KEY_DOWN:
    case KEY_HOME:
    case KEY_END:
    case KEY_PAGE_UP:
    case KEY_PAGE_DOWN:
    case KEY_ENTER:
        MoveCursor(key);
        return true;
    default:
        return false;
    }
}

bool MapModel::OnKey(int key, bool shift, bool ctrl)
{
    if (sheetCount == 0)
        return false;
    shiftDown = shift;
    ctrlDown = ctrl;
    // Plus and minus step in every view; inside a table edit minus is typed and plus is ignored.
    if (key == '+') {
        if (!editing)
            RunCommand(CMD_STEP_UP);
        return true;
    }
    if (key == '-' && !editing) {
        RunCommand(CMD_STEP_DOWN);
        return true;
    }
    if (key == KEY_CTRL_C || (key == KEY_INSERT && ctrl)) {
        CopyCommand();
        return true;
    }
    if (key == KEY_CTRL_V || (key == KEY_INSERT && shift)) {
        PasteCommand();
        return true;
    }
    if (key == KEY_TAB) {
        // Only a map with several sheets uses Tab; otherwise it moves the focus on.
        if (sheetCount < 2)
            return false;
        NextSheet(ctrl ? 0 : shift ? -1 : 1);
        return true;
    }
    if (viewMode & VIEW_TABLE)
        return TableKey(key);
    return false;
}

void MapModel::CopyCommand()
{
    if (sheetCount == 0)
        return;
    // Inside an edit only its selected text is copied, like any text field.
    if (editing) {
        if (textSelEnd > textSelStart)
            ClipboardSet(
                editText.substr(static_cast<size_t>(textSelStart), static_cast<size_t>(textSelEnd - textSelStart)),
                nullptr);
        return;
    }
    if (Sel().count)
        ClipboardSet(SelectionText(*this), nullptr);
}

void MapModel::CopyTableCommand()
{
    if (sheetCount == 0)
        return;
    const std::string sheet = TableSheetText(*this);
    ClipboardSet(TablePlainText(*this), &sheet);
}

void MapModel::PasteCommand()
{
    if (sheetCount == 0)
        return;
    const int formats = ClipboardFormats();
    if (editing) {
        if (formats & CLIP_TEXT)
            PasteIntoEdit(ClipboardText(false));
        RequestRepaint(REPAINT);
        return;
    }
    // A whole table wins over plain text: other editors put both on the clipboard.
    if (formats & CLIP_SHEET)
        PasteTableText(*this, ClipboardText(true));
    else if (formats & CLIP_TEXT)
        PasteSelectionText(*this, ClipboardText(false));
}

void MapModel::ClipboardSet(const std::string& plain, const std::string* sheet)
{
    localPlain_ = plain;
    localSheet_ = sheet ? *sheet : std::string();
    localFormats_ = CLIP_TEXT | (sheet ? CLIP_SHEET : 0);
}

int MapModel::ClipboardFormats() const { return localFormats_; }

std::string MapModel::ClipboardText(bool sheetFormat) const { return sheetFormat ? localSheet_ : localPlain_; }
