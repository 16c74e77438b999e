#include "mapedit/CTab.h"

#include "mapedit/FormatAxisValue.h"
#include "mapedit/SheetClipboard.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

int32_t RoundedRaw(double value)
{
    const double limited = std::clamp(value, -2.0e9, 2.0e9);
    return static_cast<int32_t>(std::trunc(limited));
}

bool IsEditChar(int key) { return (key >= '0' && key <= '9') || key == ' ' || key == ',' || key == '-' || key == '.'; }

const char* const ColumnsFull = "###Column count is on maximum !\nDelete some first...##Spaltenanzahl ist auf maximal "
                                "!\nLöschen einige erste...##Dosaženo maximálního počtu sloupců !\nNejprve nějaký "
                                "vymažte...";
const char* const RowsFull = "###Row count is on maximum !\nDelete some first...##Zeilenanzahl ist auf maximal "
                             "!\nLöschen einige erste...##Dosaženo maximálního počtu řádků !\nNejprve nějaký "
                             "vymažte...";

} // namespace

void CTab::StepElement(int column, int row, int amount)
{
    CSheet& s = Sheet();
    if (!s.Inside(column, row) || !s.AxisOf(column, row).editable)
        return;
    const int id = ChangeIdOfElement(column, row);
    NoteChange(0, id);
    s.Value(column, row) += amount;
    NoteChange(CSheet::MaskOf(column, row), id);
}

void CTab::StepSelection(int amount)
{
    CSheet& s = Sheet();
    TSel& sel = s.selection;
    NoteChange(0, CHANGE_ID_SELECTION);
    int mask = 0;
    if (s.axisX.editable)
        for (int c = 0; c < s.axisX.count; ++c)
            if (sel.IsSelected(c, -1)) {
                s.axisX.values[c] += amount;
                mask = AXIS_X;
            }
    if (s.axisY.editable)
        for (int r = 0; r < s.axisY.count; ++r)
            if (sel.IsSelected(-1, r)) {
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

void CTab::StepValues(int direction, bool ignoreSelection)
{
    if (sheetCount == 0)
        return;
    CSheet& s = Sheet();
    if (!ignoreSelection && s.selection.count > 0) {
        StepSelection(direction);
        return;
    }
    if (!(s.flags & SF_OPERATING_POINT) || s.opState <= 0)
        return;
    if ((s.flags & SF_BASE_ADVANCE) && s.opColumn == -1) {
        NoteChange(0, CHANGE_ID_BASE_ADVANCE);
        baseAdvance += static_cast<int>(direction * s.axisData.scale);
        NoteChange(AXIS_DATA, CHANGE_ID_BASE_ADVANCE);
        return;
    }
    if (s.opColumn >= 0 && s.opRow >= 0 && s.opColumn < s.axisX.count && s.opRow < s.axisY.count)
        StepElement(s.opColumn, s.opRow, direction);
}

void CTab::StepHovered(int amount)
{
    if (sheetCount == 0 || !hoverValid)
        return;
    const CSheet& s = Sheet();
    if (s.selection.IsSelected(hoverColumn, hoverRow) && s.AxisOf(hoverColumn, hoverRow).editable)
        StepSelection(amount);
    else
        StepElement(hoverColumn, hoverRow, amount);
}

void CTab::PressArrow(bool up)
{
    if (editing)
        CommitCellEdit();
    upHeld = up;
    downHeld = !up;
    pressTick = tickCount;
    repeating = 0;
    RequestRepaint(1);
}

void CTab::ReleaseArrow()
{
    if ((upHeld || downHeld) && !repeating)
        StepHovered(upHeld ? 1 : -1);
    upHeld = downHeld = repeating = 0;
    RequestRepaint(1);
}

bool CTab::BeginCellEdit(int column, int row, bool empty)
{
    if (sheetCount == 0)
        return false;
    CSheet& s = Sheet();
    if (!s.Inside(column, row) || !s.AxisOf(column, row).editable)
        return false;
    const CAxe& a = s.AxisOf(column, row);
    editing = 1;
    editColumn = column;
    editRow = row;
    editText = empty ? std::string() : FormatAxisValue(s.Value(column, row), a.scale, nullptr, false);
    caret = editAnchor_ = static_cast<int>(editText.size());
    textSelStart = textSelEnd = caret;
    blinkPhase = 0;
    RequestRepaint(1);
    return true;
}

void CTab::CancelCellEdit()
{
    editing = 0;
    RequestRepaint(1);
}

void CTab::CommitCellEdit()
{
    if (!editing)
        return;
    editing = 0;
    RequestRepaint(1);
    std::string text = editText;
    const auto comma = text.find(',');
    if (comma != std::string::npos)
        text[comma] = '.';
    std::erase_if(text, [](char ch) { return ch == ' ' || ch == '\t'; });
    if (text.empty())
        return;
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(number))
        return;
    CSheet& s = Sheet();
    if (!s.Inside(editColumn, editRow))
        return;
    const CAxe& a = s.AxisOf(editColumn, editRow);
    NoteChange(0, ChangeBegin);
    s.Value(editColumn, editRow) = RoundedRaw(number / a.scale + (number >= 0 ? 0.5 : -0.5));
    NoteChange(CSheet::MaskOf(editColumn, editRow), CHANGE_NOW);
}

void CTab::InsertEditText(const std::string& text)
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

bool CTab::EditKey(int key)
{
    const int length = static_cast<int>(editText.size());
    const bool hasSel = textSelStart != textSelEnd;
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
        return false;
    }
    blinkPhase = 0;
    RequestRepaint(1);
    return true;
}

void CTab::PasteIntoEdit(const std::string& text) { InsertEditText(FilterEditPaste(text)); }

void CTab::SelectElement(int column, int row)
{
    TSel& sel = Sel();
    sel.Clear();
    sel.SetMark(column, row, MARK_DRAG);
    sel.Commit();
    sel.startColumn = sel.endColumn = column;
    sel.startRow = sel.endRow = row;
    RequestRepaint(1);
}

void CTab::ExtendSelection(int column, int row)
{
    TSel& sel = Sel();
    const CSheet& s = Sheet();
    if (sel.startColumn < -1 || sel.startRow < -1 || !s.Inside(sel.startColumn, sel.startRow)) {
        SelectElement(column, row);
        return;
    }
    if (sel.startRow == -1)
        row = -1, column = std::max(column, 0);
    else if (sel.startColumn == -1)
        column = -1, row = std::max(row, 0);
    else
        column = std::max(column, 0), row = std::max(row, 0);
    sel.Clear();
    sel.MarkRange(sel.startColumn, sel.startRow, column, row);
    sel.Commit();
    sel.endColumn = column;
    sel.endRow = row;
    RequestRepaint(1);
}

void CTab::ClampCursor(int& column, int& row) const
{
    const CSheet& s = Sheet();
    if (s.axisX.off)
        column = s.axisX.offIndex;
    if (s.axisY.off)
        row = s.axisY.offIndex;
    column = Clamp(column, -1, s.axisX.count - 1);
    row = Clamp(row, -1, s.axisY.count - 1);
    if (column == -1 && row == -1)
        row = 0;
}

void CTab::MoveCursor(int key)
{
    const CSheet& s = Sheet();
    const TSel& sel = s.selection;
    int column = sel.count ? sel.endColumn : 0;
    int row = sel.count ? sel.endRow : 0;
    if (!sel.count) {
        ClampCursor(column, row);
        SelectElement(column, row);
        ScrollTo(column, row);
        return;
    }
    const int lastColumn = s.axisX.count - 1, lastRow = s.axisY.count - 1;
    const bool rowHeaderReachable = row != -1 && !s.axisY.off;
    const bool columnHeaderReachable = column != -1 && !s.axisX.off;
    const int firstColumn = rowHeaderReachable ? -1 : 0;
    const int firstRow = columnHeaderReachable ? -1 : 0;
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
        if (down())
            right();
        break;
    default:
        return;
    }
    ClampCursor(column, row);
    if (shiftDown)
        ExtendSelection(column, row);
    else
        SelectElement(column, row);
    ScrollTo(column, row);
}

void CTab::RemoveLine(bool isColumn, int index)
{
    CSheet& s = Sheet();
    CAxe& a = isColumn ? s.axisX : s.axisY;
    TSel& sel = s.selection;
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
    a.lastMoved = -3;
}

bool CTab::InsertLine(bool isColumn, int index)
{
    if (sheetCount == 0)
        return false;
    CSheet& s = Sheet();
    CAxe& a = isColumn ? s.axisX : s.axisY;
    const CAxe& other = isColumn ? s.axisY : s.axisX;
    if (!a.resizable)
        return false;
    if (a.count >= a.maxCount) {
        ShowMessage(isColumn ? ColumnsFull : RowsFull);
        return false;
    }
    index = Clamp(index, 0, a.count);
    if (editing)
        CommitCellEdit();
    NoteChange(0, ChangeBegin);
    s.selection.Clear();
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
    a.lastMoved = -3;
    RebuildLayout();
    for (int k = 0; k < other.count; ++k)
        if (!other.off || k == other.offIndex)
            s.selection.SetMark(isColumn ? index : k, isColumn ? k : index, MARK_DRAG);
    s.selection.Commit();
    s.selection.startColumn = s.selection.endColumn = isColumn ? index : other.EntryAt(0);
    s.selection.startRow = s.selection.endRow = isColumn ? other.EntryAt(0) : index;
    ScrollTo(isColumn ? index : -1, isColumn ? -1 : index);
    NoteChange((isColumn ? AXIS_X : AXIS_Y) | AXIS_DATA, ChangeEnd);
    return true;
}

bool CTab::DeleteLine(bool isColumn, int index)
{
    if (sheetCount == 0)
        return false;
    CSheet& s = Sheet();
    CAxe& a = isColumn ? s.axisX : s.axisY;
    if (!a.resizable || a.off || a.count <= a.minCount || index < 0 || index >= a.count)
        return false;
    if (editing)
        CommitCellEdit();
    NoteChange(0, ChangeBegin);
    RemoveLine(isColumn, index);
    RebuildLayout();
    NoteChange((isColumn ? AXIS_X : AXIS_Y) | AXIS_DATA, ChangeEnd);
    return true;
}

bool CTab::LineDeletable(bool isColumn, int index) const
{
    const CSheet& s = Sheet();
    const TSel& sel = s.selection;
    if (sel.kind == (isColumn ? SEL_COLUMNS : SEL_ROWS))
        return isColumn ? sel.IsSelected(index, -1) : sel.IsSelected(-1, index);
    if (sel.kind != SEL_CELLS)
        return false;
    const CAxe& other = isColumn ? s.axisY : s.axisX;
    for (int k = 0; k < other.count; ++k) {
        if (other.off && k != other.offIndex)
            continue;
        if (!(isColumn ? sel.IsSelected(index, k) : sel.IsSelected(k, index)))
            return false;
    }
    return true;
}

int CTab::CountDeletableLines(bool isColumn) const
{
    if (sheetCount == 0)
        return 0;
    const CAxe& a = isColumn ? Sheet().axisX : Sheet().axisY;
    int n = 0;
    for (int i = 0; i < a.count; ++i)
        n += LineDeletable(isColumn, i);
    return n;
}

bool CTab::DeleteSelectedLines(bool isColumn)
{
    if (sheetCount == 0)
        return false;
    CAxe& a = isColumn ? Sheet().axisX : Sheet().axisY;
    if (!a.resizable || a.off || CountDeletableLines(isColumn) == 0)
        return false;
    if (editing)
        CommitCellEdit();
    NoteChange(0, ChangeBegin);
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

bool CTab::CanInterpolate() const
{
    if (sheetCount == 0)
        return false;
    const TSel& sel = Sheet().selection;
    return sel.interpolable && sel.count > 2 && SelectionEditable();
}

bool CTab::ComputeInterpolation(CSheet& s) const
{
    const TSel& sel = s.selection;
    if (!sel.interpolable || sel.count <= 2)
        return false;
    const int c0 = sel.cornerX0, c1 = sel.cornerX1, r0 = sel.cornerY0, r1 = sel.cornerY1;
    auto line = [](std::vector<int32_t>& v, int i0, int i1) {
        for (int i = i0 + 1; i < i1; ++i)
            v[i] = static_cast<int32_t>(std::lround(v[i0] + (v[i1] - v[i0]) * double(i - i0) / (i1 - i0)));
    };
    if (sel.kind == SEL_COLUMNS) {
        line(s.axisX.values, c0, c1);
        return true;
    }
    if (sel.kind == SEL_ROWS) {
        line(s.axisY.values, r0, r1);
        return true;
    }
    auto position = [](const CAxe& a, int i) { return a.proportional ? double(a.values[i]) : double(i); };
    auto fraction = [&](const CAxe& a, int i, int i0, int i1) {
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
    return true;
}

bool CTab::InterpolateSelection()
{
    if (!CanInterpolate())
        return false;
    CSheet& s = Sheet();
    const int mask = s.selection.kind == SEL_COLUMNS ? AXIS_X : s.selection.kind == SEL_ROWS ? AXIS_Y : AXIS_DATA;
    NoteChange(0, ChangeBegin);
    ComputeInterpolation(s);
    if (mask != AXIS_DATA)
        s.Axis(mask).lastMoved = -3;
    s.selection.Clear();
    NoteChange(mask, CHANGE_NOW);
    return true;
}

bool CTab::UseAxes(int command)
{
    if (sheetCount == 0)
        return false;
    CSheet& s = Sheet();
    const int mx = s.axisX.OffMode, my = s.axisY.OffMode;
    int xOff, yOff;
    if (command == CMD_ONLY_X && mx < 2 && my != 0)
        xOff = 0, yOff = 1;
    else if (command == CMD_ONLY_Y && mx != 0 && my < 2)
        xOff = 1, yOff = 0;
    else if (command == CMD_BOTH && mx < 2 && my < 2)
        xOff = 0, yOff = 0;
    else
        return false;
    if (!s.enabled)
        return false;
    NoteChange(0, ChangeBegin);
    s.axisX.off = xOff;
    s.axisY.off = yOff;
    s.selection.Clear();
    const int previous = previousSheet;
    SelectSheet(activeSheet);
    previousSheet = previous;
    NoteChange(AXIS_ALL, CHANGE_NOW);
    return true;
}

void CTab::ToggleSheetEnabled()
{
    if (sheetCount == 0 || !(Sheet().flags & SF_CAN_DISABLE))
        return;
    NoteChange(0, ChangeBegin);
    Sheet().enabled ^= 1;
    NoteChange(AXIS_ALL, ChangeEnd);
    RequestRepaint(2);
}

void CTab::NextSheet(int direction)
{
    if (sheetCount < 2)
        return;
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

void CTab::SelectAllCells()
{
    CSheet& s = Sheet();
    TSel& sel = s.selection;
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
    RequestRepaint(1);
}

void CTab::SelectAllHeaders(bool columns)
{
    CSheet& s = Sheet();
    if (!columns && s.axisY.off)
        return;
    TSel& sel = s.selection;
    sel.Clear();
    const CAxe& a = columns ? s.axisX : s.axisY;
    for (int i = 0; i < a.Used(); ++i)
        sel.SetMark(columns ? a.EntryAt(i) : -1, columns ? -1 : a.EntryAt(i), MARK_DRAG);
    sel.Commit();
    sel.startColumn = columns ? a.EntryAt(0) : -1;
    sel.startRow = columns ? -1 : a.EntryAt(0);
    sel.endColumn = columns ? a.EntryAt(a.Used() - 1) : -1;
    sel.endRow = columns ? -1 : a.EntryAt(a.Used() - 1);
    RequestRepaint(1);
}

bool CTab::SelectionEditable() const
{
    if (sheetCount == 0)
        return false;
    const CSheet& s = Sheet();
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

bool CTab::SomethingEditable() const
{
    if (sheetCount == 0)
        return false;
    const CSheet& s = Sheet();
    return s.axisX.editable || s.axisY.editable || s.axisData.editable;
}

void CTab::BeginBand(int kind, int column, int row, bool shift, bool ctrl)
{
    TSel& sel = Sel();
    if (editing)
        CommitCellEdit();
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

void CTab::DragBand(int column, int row)
{
    CSheet& s = Sheet();
    TSel& sel = s.selection;
    if (!(sel.dragKind & DRAG_RUBBER))
        return;
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
        sel.MarkRange(c0, -1, c1, -1);
        break;
    case SEL_ROWS:
        sel.MarkRange(-1, r0, -1, r1);
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
    sel.endColumn = bandKind_ == SEL_ROWS ? -1 : Clamp(column, 0, lastColumn);
    sel.endRow = bandKind_ == SEL_COLUMNS ? -1 : Clamp(row, 0, lastRow);
    sel.UpdateBox(MARK_DRAG);
    RequestRepaint(1);
}

void CTab::EndBand()
{
    TSel& sel = Sel();
    if (!(sel.dragKind & DRAG_RUBBER))
        return;
    const int sc = sel.startColumn, sr = sel.startRow;
    sel.Commit();
    if (bandKind_ == SEL_COLUMNS)
        sel.startRow = sel.endRow = -1, sel.startColumn = std::max(sc, 0);
    else if (bandKind_ == SEL_ROWS)
        sel.startColumn = sel.endColumn = -1, sel.startRow = std::max(sr, 0);
    else
        sel.startColumn = std::max(sc, 0), sel.startRow = std::max(sr, 0);
    RequestRepaint(1);
}

bool CTab::BeginBlockDrag(int mode, int column, int row)
{
    CSheet& s = Sheet();
    TSel& sel = s.selection;
    if (sel.kind == SEL_NONE || !SelectionEditable() || (mode != 1 && mode != 2))
        return false;
    if (editing)
        CommitCellEdit();
    blockStart = { sel.boxX0, sel.boxY0, sel.boxX1, sel.boxY1 };
    blockTarget = blockStart;
    const CAxe& a = sel.kind == SEL_CELLS ? s.axisData : sel.kind == SEL_COLUMNS ? s.axisX : s.axisY;
    std::copy(a.values.begin(), a.values.end(), blockSaved.begin());
    grabColumn_ = column;
    grabRow_ = row;
    blockDrag = mode;
    NoteChange(0, ChangeBegin);
    return true;
}

void CTab::UpdateBlockDrag(int column, int row)
{
    if (!blockDrag)
        return;
    const CSheet& s = Sheet();
    const int kind = s.selection.kind;
    const bool alongX = kind != SEL_ROWS && !s.axisX.off;
    const bool alongY = kind != SEL_COLUMNS && !s.axisY.off;
    const int lastColumn = s.axisX.count - 1, lastRow = s.axisY.count - 1;
    auto& t = blockTarget;
    t = blockStart;
    if (blockDrag == 1) {
        if (alongX) {
            column = Clamp(column, 0, lastColumn);
            t[0] = std::min(t[0], column);
            t[2] = std::max(t[2], column);
        }
        if (alongY) {
            row = Clamp(row, 0, lastRow);
            t[1] = std::min(t[1], row);
            t[3] = std::max(t[3], row);
        }
    } else {
        if (alongX) {
            const int dx = Clamp(column - grabColumn_, -blockStart[0], lastColumn - blockStart[2]);
            t[0] += dx, t[2] += dx;
        }
        if (alongY) {
            const int dy = Clamp(row - grabRow_, -blockStart[1], lastRow - blockStart[3]);
            t[1] += dy, t[3] += dy;
        }
    }
    RequestRepaint(1);
}

void CTab::FinishBlockDrag()
{
    if (!blockDrag)
        return;
    CSheet& s = Sheet();
    TSel& sel = s.selection;
    const int kind = sel.kind;
    const auto& b = blockStart;
    const auto& t = blockTarget;
    auto saved = [&](int c, int r) -> double {
        if (kind == SEL_COLUMNS)
            return blockSaved[static_cast<size_t>(c)];
        if (kind == SEL_ROWS)
            return blockSaved[static_cast<size_t>(r)];
        return blockSaved[static_cast<size_t>(r * TAB_MAX_X + c)];
    };
    auto filled = [&](int c, int r) -> double {
        const int cc = Clamp(c, b[0], b[2]), rr = Clamp(r, b[1], b[3]);
        double value = saved(cc, rr);
        if (c > b[2] && b[2] > b[0])
            value += (saved(b[2], rr) - saved(b[2] - 1, rr)) * (c - b[2]);
        if (c < b[0] && b[2] > b[0])
            value += (saved(b[0] + 1, rr) - saved(b[0], rr)) * (c - b[0]);
        if (r > b[3] && b[3] > b[1])
            value += (saved(cc, b[3]) - saved(cc, b[3] - 1)) * (r - b[3]);
        if (r < b[1] && b[3] > b[1])
            value += (saved(cc, b[1] + 1) - saved(cc, b[1])) * (r - b[1]);
        return value;
    };
    sel.Clear();
    for (int r = t[1]; r <= t[3]; ++r)
        for (int c = t[0]; c <= t[2]; ++c) {
            if (!s.Inside(c, r))
                continue;
            const double value = blockDrag == 1 ? filled(c, r) : saved(c - (t[0] - b[0]), r - (t[1] - b[1]));
            s.Value(c, r) = static_cast<int32_t>(std::clamp(value, -2.0e9, 2.0e9));
            sel.SetMark(c, r, MARK_DRAG);
        }
    sel.Commit();
    sel.startColumn = t[0], sel.startRow = t[1], sel.endColumn = t[2], sel.endRow = t[3];
    const int mask = kind == SEL_COLUMNS ? AXIS_X : kind == SEL_ROWS ? AXIS_Y : AXIS_DATA;
    if (mask != AXIS_DATA)
        s.Axis(mask).lastMoved = -3;
    blockDrag = 0;
    NoteChange(mask, ChangeEnd);
}

void CTab::RunCommand(int command)
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
        if (editing)
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

bool CTab::TableKey(int key)
{
    if (editing)
        return EditKey(key);
    const TSel& sel = Sel();
    if (IsEditChar(key) || key == KEY_BACKSPACE || key == KEY_DELETE || key == KEY_INSERT) {
        if (!sel.count || !BeginCellEdit(sel.startColumn, sel.startRow, key != KEY_INSERT))
            return false;
        if (IsEditChar(key))
            EditKey(key);
        return true;
    }
    if (key == KEY_ESC) {
        Sel().Clear();
        RequestRepaint(1);
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

bool CTab::OnKey(int key, bool shift, bool ctrl)
{
    if (sheetCount == 0)
        return false;
    shiftDown = shift;
    ctrlDown = ctrl;
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

void CTab::CopyCommand()
{
    if (sheetCount == 0)
        return;
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

void CTab::CopyTableCommand()
{
    if (sheetCount == 0)
        return;
    const std::string sheet = TableSheetText(*this);
    ClipboardSet(TablePlainText(*this), &sheet);
}

void CTab::PasteCommand()
{
    if (sheetCount == 0)
        return;
    const int formats = ClipboardFormats();
    if (editing) {
        if (formats & 1)
            PasteIntoEdit(ClipboardText(false));
        RequestRepaint(1);
        return;
    }
    if (formats & 2)
        PasteTableText(*this, ClipboardText(true));
    else if (formats & 1)
        PasteSelectionText(*this, ClipboardText(false));
}

void CTab::ClipboardSet(const std::string& plain, const std::string* sheet)
{
    localPlain_ = plain;
    localSheet_ = sheet ? *sheet : std::string();
    localFormats_ = 1 | (sheet ? 2 : 0);
}

int CTab::ClipboardFormats() const { return localFormats_; }

std::string CTab::ClipboardText(bool sheetFormat) const { return sheetFormat ? localSheet_ : localPlain_; }
