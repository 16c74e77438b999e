#pragma once

#include <array>
#include <cstdint>
#include <string>

// Colour value that leaves a label's colour as it is.
constexpr uint32_t COLOUR_UNCHANGED = 0x1FFFFFFF;

// The label side of the status slots: the window implements it with LabelConnection (1),
// LabelResult (2, hidden together with CGaugeProgram), no control (3) and LabelCongruence (4);
// the CLI implements it with printed lines. Colours are 0x00BBGGRR.
class StatusLabels {
public:
    virtual ~StatusLabels() = default;
    virtual bool HasControl(int slot) const = 0;
    virtual bool IsShown(int slot) const = 0;
    // Shows the label with the text (already in the current language); a colour of
    // COLOUR_UNCHANGED leaves that colour.
    virtual void ShowLabel(int slot, const std::string& text, uint32_t fontColour, uint32_t backColour) = 0;
    virtual void HideLabel(int slot) = 0;
};

// The four status message slots of the window: text, priority and expiry tick of each.
class StatusSlots {
public:
    static constexpr int SLOTS = 4;

    explicit StatusSlots(StatusLabels* labels = nullptr)
        : labels_(labels)
    {
    }
    void SetLabels(StatusLabels* labels) { labels_ = labels; }

    // text: a LangString, or nullptr for none. durationMs > 0 expires after durationMs / 50 main
    // timer ticks, < 0 never, 0 keeps the previous expiry. A priority >= 0 below the slot's
    // priority is ignored; a negative priority always replaces.
    void ShowStatus(int slot, const char* text, int durationMs, uint32_t fontColour, uint32_t backColour, int priority);
    // On every main-timer tick: hides the slots whose expiry tick has come.
    void ExpireStatus();
    // After a language switch: shows the texts still on display again, in the current language,
    // keeping their colours, priorities and expiry.
    void Retranslate();

    const std::string& Text(int slot) const { return at(slot).text; }
    int Priority(int slot) const { return at(slot).priority; }
    int ExpiryTick(int slot) const { return at(slot).expiryTick; }

private:
    struct Slot {
        std::string text;
        bool hasText = false;
        int priority = -1;
        int expiryTick = 0;
    };
    const Slot& at(int slot) const { return slots_[static_cast<size_t>((slot - 1) & 3)]; }
    static int CurrentTick();

    StatusLabels* labels_;
    std::array<Slot, SLOTS> slots_;
};
