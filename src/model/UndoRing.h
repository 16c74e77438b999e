#pragma once

#include "model/ChangedMap.h"
#include "model/ParamImage.h"

#include <array>
#include <functional>

// A ring of whole-image snapshots, each with the settings page that was active when it was taken.
// Undo and redo copy a snapshot back and tell the caller which page to show.
class UndoRing {
public:
    static constexpr int SLOTS = 200;

    // What a stored snapshot and a change bring about outside the ring.
    struct Hooks {
        std::function<void()> storeSettings;                       // every stored slot rewrites the settings
        std::function<void(const ParamImage&)> appendToRecording;  // a running monitor recording logs the image
        std::function<void()> refreshComparison;                   // the unit-comparison display
    };

    // The result of Undo / Redo for the window: whether any byte changed and which page to show.
    struct Restored {
        bool changed = false;
        int slotPage = 0;  // page stored with the snapshot now current
        int showPage = -1; // page to select when slotPage differs from the active page
    };

    explicit UndoRing(Hooks hooks = {}) : hooks_(std::move(hooks)) {}

    void UndoInit(const ParamImage& img, int activePage, ChangedMap& changed);
    // Takes a snapshot when the image differs from the current slot; returns whether it did.
    bool UndoSnapshot(const ParamImage& img, int activePage, ChangedMap& changed);
    // Returns false when there is nothing to undo / redo.
    bool Undo(ParamImage& img, ChangedMap& changed, Restored& out);
    bool Redo(ParamImage& img, ChangedMap& changed, Restored& out);

    bool CanUndo() const { return current_ != oldest_; }
    bool CanRedo() const { return current_ != newest_; }

private:
    struct Slot {
        ParamImage image;
        uint8_t page = 0;
    };

    static int Next(int i) { return i == SLOTS - 1 ? 0 : i + 1; }
    static int Prev(int i) { return i == 0 ? SLOTS - 1 : i - 1; }
    void Store(const ParamImage& img, int page);
    bool Restore(ParamImage& img, ChangedMap& changed);

    Hooks hooks_;
    std::array<Slot, SLOTS> slots_{};
    int current_ = 0;
    int newest_ = 0;
    int oldest_ = 0;
};
