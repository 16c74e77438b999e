#include "model/UndoRing.h"

void UndoRing::store(const ParamImage& img, int page)
{
    slots_[current_] = {img, static_cast<uint8_t>(page)};
    if (hooks_.storeSettings)
        hooks_.storeSettings();
}

void UndoRing::UndoInit(const ParamImage& img, int activePage, ChangedMap& changed)
{
    oldest_ = current_ = newest_ = 0;
    store(img, activePage);
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
    current_ = next(current_);
    newest_ = current_;
    if (oldest_ == current_)
        oldest_ = next(oldest_);
    store(img, activePage);
    return true;
}

bool UndoRing::restore(ParamImage& img, ChangedMap& changed)
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
    if (!canUndo())
        return false;
    const int old = current_;
    current_ = prev(current_);
    out.changed = restore(img, changed);
    out.slotPage = slots_[current_].page;
    out.showPage = slots_[old].page;
    return true;
}

bool UndoRing::Redo(ParamImage& img, ChangedMap& changed, Restored& out)
{
    if (!canRedo())
        return false;
    current_ = next(current_);
    out.changed = restore(img, changed);
    out.slotPage = slots_[current_].page;
    out.showPage = out.slotPage;
    return true;
}
