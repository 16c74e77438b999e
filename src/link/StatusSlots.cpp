#include "link/StatusSlots.h"

#include "base/TickClock.h"
#include "lang/LangString.h"

int StatusSlots::CurrentTick() { return TickMs.load() / MS_PER_TICK; }

void StatusSlots::ShowStatus(
    int slot, const char* text, int durationMs, uint32_t fontColour, uint32_t backColour, int priority)
{
    if (slot < 1 || slot > SLOTS || !labels_ || !labels_->HasControl(slot))
        return;
    Slot& s = slots_[static_cast<size_t>(slot - 1)];
    const int current = (!s.hasText || !labels_->IsShown(slot)) ? -1 : s.priority;
    if (priority >= 0 && priority < current)
        return;
    s.priority = priority;
    s.text.clear();
    s.hasText = false;
    if (!text) {
        labels_->HideLabel(slot);
        return;
    }
    s.text = text;
    s.hasText = true;
    labels_->ShowLabel(slot, LangText(s.text), fontColour, backColour);
    if (durationMs > 0)
        s.expiryTick = CurrentTick() + durationMs / MS_PER_TICK;
    else if (durationMs < 0)
        s.expiryTick = 0;
}

void StatusSlots::ExpireStatus()
{
    if (!labels_)
        return;
    const int now = CurrentTick();
    for (int slot = 1; slot <= SLOTS; ++slot) {
        Slot& s = slots_[static_cast<size_t>(slot - 1)];
        if (s.expiryTick > 0 && now >= s.expiryTick) {
            s.expiryTick = 0;
            if (labels_->HasControl(slot))
                labels_->HideLabel(slot);
        }
    }
}

void StatusSlots::Retranslate()
{
    if (!labels_)
        return;
    for (int slot = 1; slot <= SLOTS; ++slot) {
        const Slot& s = slots_[static_cast<size_t>(slot - 1)];
        if (s.hasText && labels_->HasControl(slot) && labels_->IsShown(slot))
            labels_->ShowLabel(slot, LangText(s.text), COLOUR_UNCHANGED, COLOUR_UNCHANGED);
    }
}
