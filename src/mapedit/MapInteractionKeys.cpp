#include "mapedit/MapInteraction.h"

#include "mapedit/MapModel.h"
#include "mapedit/MapRawValues.h"

#include <algorithm>

namespace {

// The characters a cell edit accepts; typed on a selection they open an edit.
bool IsEditChar(int key) { return (key >= '0' && key <= '9') || key == ' ' || key == ',' || key == '-' || key == '.'; }

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

// Keeps the cursor on an element of the map; along an axis that is off it stays on the used entry.
void ClampCursor(const MapSheet& s, int& column, int& row)
{
    if (s.axisX.off)
        column = s.axisX.offIndex;
    if (s.axisY.off)
        row = s.axisY.offIndex;
    column = ClampInt(column, HEADER, s.axisX.count - 1);
    row = ClampInt(row, HEADER, s.axisY.count - 1);
    // The corner where the two headers meet is no element.
    if (column == HEADER && row == HEADER)
        row = 0;
}

} // namespace

bool MapInteraction::OnKey(int key, bool shift, bool ctrl)
{
    if (model_.SheetCount() == 0)
        return false;
    SetModifiers(shift, ctrl);
    const bool editing = model_.Editing();
    // Plus and minus step in every view; inside a table edit minus is typed and plus is ignored.
    if (key == '+') {
        if (!editing)
            runCommand_(CMD_STEP_UP);
        return true;
    }
    if (key == '-' && !editing) {
        runCommand_(CMD_STEP_DOWN);
        return true;
    }
    if (key == KEY_CTRL_C || (key == KEY_INSERT && ctrl)) {
        Copy();
        return true;
    }
    if (key == KEY_CTRL_V || (key == KEY_INSERT && shift)) {
        Paste();
        return true;
    }
    if (key == KEY_TAB) {
        // Only a map with several sheets uses Tab; otherwise it moves the focus on.
        if (model_.SheetCount() < 2)
            return false;
        model_.NextSheet(ctrl ? 0 : shift ? -1 : 1);
        return true;
    }
    if (model_.ViewMode() & VIEW_TABLE)
        return TableKey(key);
    return false;
}

bool MapInteraction::TableKey(int key)
{
    if (model_.Editing())
        return EditKey(key);
    const MapSelection& sel = model_.Sel();
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
        model_.Sel().Clear();
        model_.RequestRepaint(MapModel::REPAINT);
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

void MapInteraction::MoveCursor(int key)
{
    const MapSheet& s = model_.Sheet();
    const MapSelection& sel = s.selection;
    int column = sel.count ? sel.endColumn : 0;
    int row = sel.count ? sel.endRow : 0;
    // Without a selection the first key only puts the cursor on the first cell.
    if (!sel.count) {
        ClampCursor(s, column, row);
        model_.SelectElement(column, row);
        model_.ScrollTo(column, row);
        return;
    }
    if (!NextCursor(s, key, column, row))
        return;
    ClampCursor(s, column, row);
    if (shiftDown_)
        model_.ExtendSelection(column, row);
    else
        model_.SelectElement(column, row);
    model_.ScrollTo(column, row);
}

bool MapInteraction::BeginCellEdit(int column, int row, bool empty)
{
    if (!model_.BeginCellEdit(column, row, empty))
        return false;
    caret_ = editAnchor_ = static_cast<int>(model_.EditText().size());
    textSelStart_ = textSelEnd_ = caret_;
    blinkPhase_ = 0;
    return true;
}

void MapInteraction::SelectEditText(int anchor, int caretAt)
{
    caret_ = caretAt;
    textSelStart_ = std::min(anchor, caretAt);
    textSelEnd_ = std::max(anchor, caretAt);
}

void MapInteraction::SelectAllEditText()
{
    textSelStart_ = 0;
    textSelEnd_ = static_cast<int>(model_.EditText().size());
}

void MapInteraction::PlaceEditCaret(int at) { caret_ = at; }

void MapInteraction::InsertEditText(const std::string& text)
{
    std::string edited = model_.EditText();
    if (textSelStart_ != textSelEnd_) {
        edited.erase(static_cast<size_t>(textSelStart_), static_cast<size_t>(textSelEnd_ - textSelStart_));
        caret_ = textSelStart_;
    }
    const size_t room = TAB_EDIT_MAX_CHARS > static_cast<int>(edited.size()) ? TAB_EDIT_MAX_CHARS - edited.size() : 0;
    const std::string piece = text.substr(0, room);
    edited.insert(static_cast<size_t>(caret_), piece);
    model_.SetEditText(edited);
    caret_ += static_cast<int>(piece.size());
    textSelStart_ = textSelEnd_ = editAnchor_ = caret_;
}

void MapInteraction::EraseEditChar(int at)
{
    std::string edited = model_.EditText();
    edited.erase(static_cast<size_t>(at), 1);
    model_.SetEditText(edited);
}

void MapInteraction::MoveCaret(int to)
{
    // With Shift the caret drags the text selection from the anchor; without, the anchor follows.
    to = ClampInt(to, 0, static_cast<int>(model_.EditText().size()));
    if (!shiftDown_)
        editAnchor_ = to;
    caret_ = to;
    textSelStart_ = std::min(editAnchor_, caret_);
    textSelEnd_ = std::max(editAnchor_, caret_);
}

bool MapInteraction::EditKey(int key)
{
    const int length = static_cast<int>(model_.EditText().size());
    const bool hasSel = textSelStart_ != textSelEnd_;
    if (IsEditChar(key)) {
        if (length < TAB_EDIT_MAX_CHARS || hasSel)
            InsertEditText(std::string(1, static_cast<char>(key)));
    } else if (key == KEY_BACKSPACE || key == KEY_DELETE) {
        if (hasSel) {
            InsertEditText("");
        } else if (key == KEY_BACKSPACE && caret_ > 0) {
            EraseEditChar(--caret_);
        } else if (key == KEY_DELETE && caret_ < length) {
            EraseEditChar(caret_);
        }
        textSelStart_ = textSelEnd_ = editAnchor_ = caret_;
    } else if (key == KEY_LEFT) {
        MoveCaret(caret_ - 1);
    } else if (key == KEY_RIGHT) {
        MoveCaret(caret_ + 1);
    } else if (key == KEY_HOME) {
        MoveCaret(0);
    } else if (key == KEY_END) {
        MoveCaret(length);
    } else if (key == KEY_ESC) {
        model_.CancelCellEdit();
    } else if (key == KEY_ENTER || key == KEY_PAGE_UP || key == KEY_PAGE_DOWN || key == KEY_UP || key == KEY_DOWN) {
        model_.CommitCellEdit();
    } else if (key != '+') {
        // Plus is swallowed inside an edit so that it does not step the value being typed.
        return false;
    }
    // Every key in the edit shows the caret at once.
    blinkPhase_ = 0;
    model_.RequestRepaint(MapModel::REPAINT);
    return true;
}
