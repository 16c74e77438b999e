#include "app/WindowUndo.h"

#include "app/MainWindow.h"

#include <QAction>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

WindowUndo::WindowUndo(MainWindow& form)
    : form_(form)
    , ring_({ [&form] { form.SaveSettings(); }, [&form](const ParamImage& img) { form.player().LogImage(img); }, {} })
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
        b->setIcon(form_.style()->standardIcon(icon));
        connect(b, &QToolButton::clicked, this, handler);
        bar->addWidget(b);
        return b;
    };
    undoControls_.push_back(button("SpeedButtonZpet", QStyle::SP_ArrowBack, &WindowUndo::Undo));
    redoControls_.push_back(button("SpeedButtonZnovu", QStyle::SP_ArrowForward, &WindowUndo::Redo));
}

void WindowUndo::Init()
{
    ring_.UndoInit(form_.image(), form_.activePage(), form_.changedMap());
    UpdateButtons();
}

bool WindowUndo::TakeSnapshot()
{
    const bool changed = ring_.UndoSnapshot(form_.image(), form_.activePage(), form_.changedMap());
    UpdateButtons();
    return changed;
}

void WindowUndo::Undo() { Restore(&UndoRing::Undo); }

void WindowUndo::Redo() { Restore(&UndoRing::Redo); }

// A restored slot shows the page its change was made on.
void WindowUndo::Restore(Step step)
{
    UndoRing::Restored r;
    if ((ring_.*step)(form_.image(), form_.changedMap(), r)) {
        form_.RefreshPages(false);
        if (r.slotPage != form_.activePage())
            form_.SelectPage(r.showPage);
        form_.RefreshPages(false);
        UpdateButtons();
        form_.ImageEdited(r.changed);
    }
    form_.FocusProgramAfterChange();
}

void WindowUndo::UpdateButtons()
{
    for (QObject* o : undoControls_)
        o->setProperty("enabled", ring_.CanUndo());
    for (QObject* o : redoControls_)
        o->setProperty("enabled", ring_.CanRedo());
}
