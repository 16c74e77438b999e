#include "mapedit/MapModel.h"

#include "mapedit/MapEditorHost.h"

namespace {

// The operating point is located on the ticks whose count has this bit (two of every four).
constexpr int LOCATE_TICK_BIT = 2;

} // namespace

void MapModel::CommitNow()
{
    const int mask = pendingMask_;
    pendingMask_ = pendingChangeId_ = commitTick_ = 0;
    if (mask && host_)
        host_->OnMapChanged(*this, mask);
}

void MapModel::NoteChange(int mask, int changeId)
{
    if (changeId == ChangeEnd && pendingChangeId_ != ChangeBegin)
        return;
    pendingMask_ |= mask & AXIS_ALL;
    NormalizeSheet(activeSheet_, mask);
    if (pendingChangeId_ != 0 && changeId != pendingChangeId_)
        changeId = CHANGE_NOW;
    else
        commitTick_ = tickCount_ + TAB_COMMIT_DELAY_TICKS;
    pendingChangeId_ = changeId;
    if (changeId == CHANGE_NOW)
        CommitNow();
    if (pendingChangeId_ == ChangeEnd)
        pendingChangeId_ = 0;
    RequestRepaint(REPAINT);
}

void MapModel::TabTick()
{
    ++tickCount_;
    if (pendingMask_ && tickCount_ >= commitTick_)
        CommitNow();
    OnInputTick();
    if (tickCount_ & LOCATE_TICK_BIT)
        LocateOperatingPoint();
    OnViewTick();
}
