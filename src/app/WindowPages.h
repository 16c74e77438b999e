#pragma once

#include "model/LoadGroups.h"
#include "model/ParamImage.h"
#include "monitor/MonitorPlayer.h"

#include <QObject>
#include <QPointer>

#include <array>

class QLineEdit;
class UpDownSpinBox;

class QTabWidget;
class QWidget;
class ControlBinder;
class EditCycle;
class MapEditorList;
class SettingsPage;
class WindowMonitor;

// The settings notebook of the main window: the tab control with its ten sheets and the pages built
// on them, which tabs and controls this unit family shows, storing, loading and re-captioning the
// pages, and when an edit in one of their controls is committed.
class WindowPages : public QObject {
public:
    // window: where the controls of the hidden functions are found, anywhere in the window. The
    // monitor side gives the pages the live sensor voltage and takes the test buttons' presses.
    WindowPages(
        QWidget& window, EditCycle& edits, ControlBinder& binder, MapEditorList& editors, WindowMonitor& monitor);

    // The map editors the pages hold.
    MapEditorList& Editors() { return editors_; }

    // PageControl1 with one empty sheet per page; a change of tab logs the page in a recording.
    QTabWidget* CreateTabs(QWidget* parent);
    // The pages on their sheets.
    void BuildPages();
    // Hides the tabs of the hidden pages and, anywhere in the window, the controls of functions
    // this unit family does not offer.
    void ApplyDefaultVisibility();
    // The captions of the tabs the caption table does not name.
    void SetTabCaptions();
    // The language-dependent item texts of every page.
    void Retranslate();

    // The active page's controls to the image.
    void StoreActive();
    // The image to the controls of all pages or the active one, then their visibility.
    void Load(bool all);
    void UpdateVisibility(bool all);
    void Select(int index);
    // The page shown and the map each editor shows, as a recording logs them.
    PageRecord Record() const;
    // A replayed record: its page, and its map in every editor it names.
    void Restore(const PageRecord& record);
    // The page saved at the last shutdown; an index out of range is ignored.
    void SelectSaved(int index);

    // A typed "-1" or "-2" in EditRpmPulsu makes the tachometer output follow pick-up 1 or 2.
    void ApplyTachoPickupText();

    // An edit of control is committed now (COMMIT_NOW), or once edits of the same kind to it have
    // paused for five ticks; an edit of another control commits at once. The window's RequestCommit
    // passes its edits on to here.
    void RequestCommit(QObject* control, int kind, int tick);
    // Commits a waiting edit whose pause has run out by tick.
    void CommitIfDue(int tick);
    // Commits a waiting edit at once.
    void CommitPending();

    int Active() const { return active_; }
    SettingsPage* Page(int index) const { return pages_[static_cast<size_t>(index)]; }
    // The index of the page whose sheet holds widget; -1 when none does.
    int PageOf(const QWidget* widget) const;
    QTabWidget* Tabs() const { return tabs_; }

private:
    template <class Each> void ForPages(bool all, Each each);

    QWidget& window_;
    EditCycle& edits_;
    ControlBinder& binder_;
    MapEditorList& editors_;
    WindowMonitor& monitor_;
    QTabWidget* tabs_ = nullptr;
    std::array<SettingsPage*, PAGE_COUNT> pages_ {};
    // The widgets the pages' controls sit on, each inside its tab's scroll area.
    std::array<QWidget*, PAGE_COUNT> sheets_ {};
    int active_ = 0;
    QObject* pendingControl_ = nullptr;
    int pendingKind_ = 0;
    int pendingDue_ = 0;
    // The image as the pages were last loaded from it.
    ParamImage shown_;
    // The tacho pickup controls, looked up once: their text is checked on every tick.
    QPointer<QLineEdit> pickupEdit_;
    QPointer<UpDownSpinBox> pickupUpDown_;
};
