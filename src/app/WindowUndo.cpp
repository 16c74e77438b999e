#include "app/WindowUndo.h"

#include "app/EditCycle.h"
#include "app/WindowPages.h"
#include "monitor/MonitorPlayer.h"

#include <QAction>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

WindowUndo::WindowUndo(EditCycle& edits, WindowPages& pages, MonitorPlayer& player, ChangedMap& changes)
    : edits_(edits)
    , pages_(pages)
    , changes_(changes)
    , ring_({ [&edits] { edits.SaveSettings(); }, [&player](const ParamImage& img) { player.LogImage(img); }, {} })
{
}

void WindowUndo::CreateMenuItems(QMenu* tools)
{
    QAction* undo = tools->addAction(QString(), QKeySequence(Qt::CTRL | Qt::Key_Z), this, &WindowUndo::Undo);
    undo->setObjectName("MenuZpet");
    undoControls_.push_back(undo);
    QAction* redo = tools->addAction(QString(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z), this, &WindowUndo::Redo);
    redo->setObjectName("MenuZnovu");
    redoControls_.push_back(redo);
}

void WindowUndo::CreateButtons(QToolBar* bar)
{
    const auto button = [&](const char* name, QStyle::StandardPixmap icon, void (WindowUndo::*handler)()) {
        auto* b = new QToolButton(bar);
        b->setObjectName(name);
        b->setIcon(bar->style()->standardIcon(icon));
        connect(b, &QToolButton::clicked, this, handler);
        bar->addWidget(b);
        return b;
    };
    undoControls_.push_back(button("SpeedButtonZpet", QStyle::SP_ArrowBack, &WindowUndo::Undo));
    redoControls_.push_back(button("SpeedButtonZnovu", QStyle::SP_ArrowForward, &WindowUndo::Redo));
}

void WindowUndo::Init()
{
    ring_.UndoInit(edits_.Image(), pages_.Active(), changes_);
    UpdateButtons();
}

bool WindowUndo::TakeSnapshot()
{
    const bool changed = ring_.UndoSnapshot(edits_.Image(), pages_.Active(), changes_);
    UpdateButtons();
    return changed;
}

void WindowUndo::Undo() { Restore(&UndoRing::Undo); }

void WindowUndo::Redo() { Restore(&UndoRing::Redo); }

// A restored slot shows the page its change was made on.
void WindowUndo::Restore(Step step)
{
    UndoRing::Restored r;
    if ((ring_.*step)(edits_.Image(), changes_, r)) {
        edits_.RefreshPages(false);
        if (r.slotPage != pages_.Active())
            pages_.Select(r.showPage);
        edits_.RefreshPages(false);
        UpdateButtons();
        edits_.ImageEdited(r.changed);
    }
    edits_.FocusProgramAfterChange();
}

void WindowUndo::UpdateButtons()
{
    for (QObject* o : undoControls_)
        o->setProperty("enabled", ring_.CanUndo());
    for (QObject* o : redoControls_)
        o->setProperty("enabled", ring_.CanRedo());
}
