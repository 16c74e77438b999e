#pragma once

#include "model/UndoRing.h"

#include <QObject>

#include <vector>

class EditCycle;
class MonitorPlayer;
class QMenu;
class QToolBar;
class WindowPages;

// The undo side of the main window: the ring of image snapshots, the Undo and Redo items of the
// Tools menu with their tool buttons, and showing the page a restored change was made on.
class WindowUndo : public QObject {
public:
    // Every stored slot rewrites the settings and goes into a running monitor recording; a restored
    // slot changes the unit's changes.
    WindowUndo(EditCycle& edits, WindowPages& pages, MonitorPlayer& player, ChangedMap& changes);

    // MenuZpet (Ctrl+Z) and MenuZnovu (Ctrl+Alt+Z) in the Tools menu.
    void CreateMenuItems(QMenu* tools);
    // SpeedButtonZpet and SpeedButtonZnovu, which share the handlers of the menu items.
    void CreateButtons(QToolBar* bar);

    // The first slot: the image as start-up leaves it.
    void Init();
    // Stores a slot when the image changed since the current one; true when it did.
    bool TakeSnapshot();
    void Undo();
    void Redo();

    const UndoRing& Ring() const { return ring_; }
    // A history kept aside (while a recording replayed) becomes the history again.
    void PutBack(const UndoRing& ring);

protected:
    // Ctrl+Z and Ctrl+Alt+Z in an edit field that has nothing of its own to undo or redo reach
    // the program's undo and redo instead of being taken by the field.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Step = bool (UndoRing::*)(ParamImage&, ChangedMap&, UndoRing::Restored&);
    void Restore(Step step);
    void UpdateButtons();

    EditCycle& edits_;
    WindowPages& pages_;
    ChangedMap& changes_;
    UndoRing ring_;
    std::vector<QObject*> undoControls_;
    std::vector<QObject*> redoControls_;
};
