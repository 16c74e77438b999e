#include "mapedit/MapInteraction.h"

#include "mapedit/MapModel.h"
#include "mapedit/SheetClipboard.h"

namespace {

// A held arrow on an axis marked for fast repeat steps by FAST_STEP every other tick once it has
// repeated for FAST_AFTER_TICKS.
constexpr int FAST_AFTER_TICKS = 20;
constexpr int FAST_STEP = 10;
// One caret blink takes 16 ticks; the caret is redrawn when it appears and when it goes.
constexpr int CARET_BLINK_TICKS = 16;

} // namespace

MapInteraction::MapInteraction(MapModel& model)
    : model_(model)
    , runCommand_([this](int command) { RunCommand(command); })
    , blockSaved_(TAB_MAX_CELLS, 0)
{
}

void MapInteraction::SetModifiers(bool shift, bool ctrl)
{
    shiftDown_ = shift;
    ctrlDown_ = ctrl;
}

void MapInteraction::Tick()
{
    RepeatHeldArrow();
    blinkPhase_ = (blinkPhase_ + 1) % CARET_BLINK_TICKS;
    if (model_.Editing() && CaretBlinked())
        model_.RequestRepaint(MapModel::REPAINT);
}

bool MapInteraction::CaretVisible() const { return blinkPhase_ < CARET_BLINK_TICKS / 2; }

bool MapInteraction::CaretBlinked() const { return blinkPhase_ % (CARET_BLINK_TICKS / 2) == 0; }

void MapInteraction::RepeatHeldArrow()
{
    const int held = model_.TickCount() - pressTick_;
    if (!(upHeld_ || downHeld_) || held < TAB_REPEAT_START_TICKS || !model_.SheetCount())
        return;
    repeating_ = true;
    const int fast = hoverRow_ < 0 ? SF_FAST_X : hoverColumn_ < 0 ? SF_FAST_Y : SF_FAST_DATA;
    const int direction = upHeld_ ? 1 : -1;
    if (held >= TAB_REPEAT_START_TICKS + FAST_AFTER_TICKS && (model_.Sheet().flags & fast)) {
        if (held % 2 == 0)
            StepHovered(FAST_STEP * direction);
    } else {
        StepHovered(direction);
    }
}

void MapInteraction::RunCommand(int command)
{
    switch (command) {
    case CMD_COPY:
        Copy();
        break;
    case CMD_PASTE:
        Paste();
        break;
    default:
        model_.ApplyCommand(command);
        break;
    }
}

void MapInteraction::SetHovered(bool valid, int column, int row)
{
    if (hoverValid_ == valid && hoverColumn_ == column && hoverRow_ == row)
        return;
    hoverValid_ = valid;
    hoverColumn_ = column;
    hoverRow_ = row;
    model_.RequestRepaint(MapModel::REPAINT);
}

void MapInteraction::StepHovered(int amount)
{
    if (model_.SheetCount() == 0 || !hoverValid_)
        return;
    model_.StepAt(hoverColumn_, hoverRow_, amount);
}

void MapInteraction::PressArrow(bool up)
{
    model_.CommitCellEdit();
    upHeld_ = up;
    downHeld_ = !up;
    pressTick_ = model_.TickCount();
    repeating_ = false;
    model_.RequestRepaint(MapModel::REPAINT);
}

void MapInteraction::ReleaseArrow()
{
    // A short click steps once on release; a held arrow has already stepped on the ticks.
    if ((upHeld_ || downHeld_) && !repeating_)
        StepHovered(upHeld_ ? 1 : -1);
    upHeld_ = downHeld_ = repeating_ = false;
    model_.RequestRepaint(MapModel::REPAINT);
}

void MapInteraction::Copy()
{
    if (model_.SheetCount() == 0)
        return;
    if (!model_.Editing()) {
        model_.CopySelection();
        return;
    }
    if (HasTextSelection())
        model_.ClipboardSet(model_.EditText().substr(
                                static_cast<size_t>(textSelStart_), static_cast<size_t>(textSelEnd_ - textSelStart_)),
            nullptr);
}

void MapInteraction::Paste()
{
    if (model_.SheetCount() == 0)
        return;
    if (!model_.Editing()) {
        model_.PasteClipboard();
        return;
    }
    if (model_.ClipboardFormats() & MapModel::CLIP_TEXT)
        InsertEditText(FilterEditPaste(model_.ClipboardText(false)));
    model_.RequestRepaint(MapModel::REPAINT);
}
