#pragma once

#include "mapedit/MapEditTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class MapModel;

// What the user is doing with a map editor at this moment: the element under the mouse with its
// step arrows, a held arrow and its repeat, the caret and the selected text of an open cell edit,
// the caret's blink, the Shift and Ctrl keys, a rubber band and a fill or move drag of the
// selection box. It turns keys, arrows and drags into the model's operations. It needs no window,
// so the editing by keyboard and mouse is tested without a display; MapEditor feeds it the events.
class MapInteraction {
public:
    // The part of the hovered element's step arrows under the mouse.
    enum ArrowPart : int32_t { ARROW_NONE = 0, ARROW_UP = 1, ARROW_DOWN = 2 };
    // A drag of the selection box in the table.
    enum BlockDragMode : int32_t { BLOCK_NONE = 0, BLOCK_FILL = 1, BLOCK_MOVE = 2 };

    explicit MapInteraction(MapModel& model);

    // Where the plus and minus keys send their step commands; by default to RunCommand, the
    // widget routes them through its own commands so that they repaint as a button does.
    void SetCommandRunner(std::function<void(int)> run) { runCommand_ = std::move(run); }

    // The input's part of a tick: repeats a held arrow and blinks the caret.
    void Tick();
    // Numbered commands of the keys, the toolbar and the popup; copy, paste and the steps take
    // an open edit into account, the rest go to the model.
    void RunCommand(int command);
    // Keys: characters as themselves, navigation keys as key code x 256.
    bool OnKey(int key, bool shift, bool ctrl);
    // The Shift and Ctrl keys as sampled on the last key, wheel notch or tick.
    void SetModifiers(bool shift, bool ctrl);
    bool ShiftDown() const { return shiftDown_; }
    bool CtrlDown() const { return ctrlDown_; }

    // The element that carries the step arrows; a change repaints.
    void SetHovered(bool valid, int column, int row);
    // Scrolling moves the elements away from under the mouse: the arrows go until it moves.
    void HideArrows() { hoverValid_ = false; }
    bool HoverValid() const { return hoverValid_; }
    int HoverColumn() const { return hoverColumn_; }
    int HoverRow() const { return hoverRow_; }
    int ArrowPartHovered() const { return arrowPart_; }
    void SetArrowPartHovered(int part) { arrowPart_ = part; }
    bool ArrowHeld(bool up) const { return up ? upHeld_ : downHeld_; }
    // Steps the hovered element (with the selection when it is part of it).
    void StepHovered(int amount);
    void PressArrow(bool up);
    void ReleaseArrow();

    // Opens a cell edit with the caret after its text.
    bool BeginCellEdit(int column, int row, bool empty);
    bool EditKey(int key);
    int Caret() const { return caret_; }
    int TextSelStart() const { return textSelStart_; }
    int TextSelEnd() const { return textSelEnd_; }
    bool HasTextSelection() const { return textSelEnd_ > textSelStart_; }
    // Mouse selection inside the open edit: the caret at caretAt, the text from anchor to it selected.
    void SelectEditText(int anchor, int caretAt);
    // Selects all of the edit text; the caret stays.
    void SelectAllEditText();
    // Moves the caret without changing the selected text.
    void PlaceEditCaret(int at);
    // The caret blinks: shown in the first half of each blink.
    bool CaretVisible() const;
    // Whether the caret appears or goes on this tick.
    bool CaretBlinked() const;

    // Moves the single selected element (with Shift: extends the selection) by a navigation key.
    void MoveCursor(int key);

    // Rubber band in elements: kind is a SelKind; the band spans the two elements.
    void BeginBand(int kind, int column, int row, bool shift, bool ctrl);
    // Marks every element between the band's first element and this one.
    void DragBand(int column, int row);
    void EndBand();

    // Block drags (a BlockDragMode). The target follows the element under the mouse.
    bool BeginBlockDrag(int mode, int column, int row);
    void UpdateBlockDrag(int column, int row);
    void FinishBlockDrag();
    int BlockDrag() const { return blockDrag_; }
    const MapBox& BlockTarget() const { return blockTarget_; }

    // Inside an open edit copy and paste work on its text, like any text field.
    void Copy();
    void Paste();

private:
    void RepeatHeldArrow();
    bool TableKey(int key);
    void InsertEditText(const std::string& text);
    void EraseEditChar(int at);
    void MoveCaret(int to);

    MapModel& model_;
    std::function<void(int)> runCommand_;
    bool shiftDown_ = false, ctrlDown_ = false;
    bool hoverValid_ = false;
    int32_t hoverColumn_ = NO_ELEMENT, hoverRow_ = NO_ELEMENT, arrowPart_ = ARROW_NONE;
    bool upHeld_ = false, downHeld_ = false, repeating_ = false;
    int32_t pressTick_ = 0;
    // The caret, the selected part of the edit text and the end a Shift selection stays at.
    int32_t caret_ = 0, textSelStart_ = 0, textSelEnd_ = 0, editAnchor_ = 0;
    int32_t blinkPhase_ = 0;
    int32_t bandKind_ = 0, bandStartColumn_ = -1, bandStartRow_ = -1;
    // A fill or move drag keeps the dragged axis (or the cells) as they were at the press, so the
    // drag reads unchanged values however far it goes.
    int32_t blockDrag_ = BLOCK_NONE;
    MapBox blockStart_ { NO_ELEMENT, NO_ELEMENT, NO_ELEMENT, NO_ELEMENT };
    MapBox blockTarget_ { NO_ELEMENT, NO_ELEMENT, NO_ELEMENT, NO_ELEMENT };
    std::vector<int32_t> blockSaved_;
    int32_t grabColumn_ = 0, grabRow_ = 0;
};
