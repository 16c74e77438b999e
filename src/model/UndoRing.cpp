#include "model/UndoRing.h"

void UndoRing::Store(const ParamImage& img, int page)
{
    slots_[current_] = {img, static_cast<uint8_t>(page)};
    if (hooks_.storeSettings)
        hooks_.storeSettings();
}

void UndoRing::UndoInit(const ParamImage& img, int activePage, ChangedMap& changed)
{
    oldest_ = current_ = newest_ = 0;
    Store(img, activePage);
    changed.fill(0);
}

bool UndoRing::UndoSnapshot(const ParamImage& img, int activePage, ChangedMap& changed)
{
    const ParamImage& last = slots_[current_].image;
    bool any = false;
    for (int i = 0; i < RS_LEN_EXE; ++i)
        if (img.Adrb(i) != last.Adrb(i)) {
            changed[i] = 1;
            any = true;
        }
    if (!any)
        return false;
    if (hooks_.appendToRecording)
        hooks_.appendToRecording(img);
    if (hooks_.refreshComparison)
        hooks_.refreshComparison();
    current_ = Next(current_);
    newest_ = current_;
    if (oldest_ == current_)
        oldest_ = Next(oldest_);
    Store(img, activePage);
    return true;
}

bool UndoRing::Restore(ParamImage& img, ChangedMap& changed)
{
    bool any = false;
    const ParamImage& snapshot = slots_[current_].image;
    for (int i = 0; i < RS_LEN_EXE; ++i)
        if (img.Adrb(i) != snapshot.Adrb(i)) {
            img.Adrb(i) = snapshot.Adrb(i);
            changed[i] = 1;
            any = true;
        }
    return any;
}

bool UndoRing::Undo(ParamImage& img, ChangedMap& changed, Restored& out)
{
    if (!CanUndo())
        return false;
    const int old = current_;
    current_ = Prev(current_);
    out.changed = Restore(img, changed);
    out.slotPage = slots_[current_].page;
    out.showPage = slots_[old].page;
    return true;
}

bool UndoRing::Redo(ParamImage& img, ChangedMap& changed, Restored& out)
{
    if (!CanRedo())
        return false;
    current_ = Next(current_);
    out.changed = Restore(img, changed);
    out.slotPage = slots_[current_].page;
    out.showPage = out.slotPage;
    return true;
}
