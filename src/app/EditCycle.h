#pragma once

#include "pages/SettingsPage.h"

class ParamImage;

// The window's edit cycle as the parts that change the settings see it: every change of the image,
// whether typed on a page, opened from a file, taken from the history or restored by undo, goes
// through the same steps (store the page, validate, refresh, take an undo snapshot, compare with
// the unit), so a part asks the window for the steps instead of doing them itself. The main window
// implements it; the pages see its PageHost side.
class EditCycle : public PageHost {
public:
    virtual ParamImage& Image() = 0;
    // Stores the active page's controls into the image, without validating it.
    virtual void ApplyPage() = 0;
    // Applies an edit still waiting for its pause at once.
    virtual void CommitPendingEdit() = 0;
    // Stores the active page, validates the image, refreshes the page, takes an undo snapshot and
    // compares the result with the unit.
    virtual void CommitEdit() = 0;
    // The image to the controls of all pages or of the active one.
    virtual void RefreshPages(bool all) = 0;
    // The whole image is new (a read, a file, a replayed recording): every page and map editor shows it.
    virtual void ImageReplaced() = 0;
    // Stores an undo slot when the image changed; true when it did.
    virtual bool TakeUndoSnapshot() = 0;
    // The image changed by an edit, an undo or a redo: compare it with the unit and, while
    // "program at once" is on, program the change.
    virtual void ImageEdited(bool changed) = 0;
    virtual bool SaveSettings() = 0;
    // The window caption names the file only while the image is still the file's.
    virtual void UpdateCaption() = 0;
};
