#include "app/WindowUndo.h"

#include "app/EditCycle.h"
#include "app/WindowPages.h"
#include "monitor/MonitorPlayer.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
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
    qApp->installEventFilter(this);
}

namespace {

// The edit field a key reaches: the field itself, or the one inside a spin box (which hands its
// key events on to its field).
const QLineEdit* EditFieldOf(QObject* o)
{
    if (auto* edit = qobject_cast<QLineEdit*>(o))
        return edit;
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(o))
        return spin->findChild<QLineEdit*>();
    return nullptr;
}

} // namespace

bool WindowUndo::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, e);
    const QLineEdit* edit = EditFieldOf(watched);
    if (!edit)
        return false;
    const QKeyCombination key = static_cast<QKeyEvent*>(e)->keyCombination();
    const bool undo = key == QKeyCombination(Qt::CTRL | Qt::Key_Z) && !edit->isUndoAvailable();
    const bool redo = key == QKeyCombination(Qt::CTRL | Qt::ALT | Qt::Key_Z) && !edit->isRedoAvailable();
    // Left unaccepted, the key goes to the window's shortcuts.
    return undo || redo;
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

void WindowUndo::PutBack(const UndoRing& ring)
{
    ring_ = ring;
    UpdateButtons();
}

void WindowUndo::Undo() { Restore(&UndoRing::Undo); }

void WindowUndo::Redo() { Restore(&UndoRing::Redo); }

// A restored slot shows the page its change was made on.
void WindowUndo::Restore(Step step)
{
    // An edit still gathering its clicks is the last change, so it is the one undone.
    edits_.CommitPendingEdit();
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
