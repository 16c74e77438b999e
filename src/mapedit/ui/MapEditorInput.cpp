#include "mapedit/ui/MapEditor.h"

#include "mapedit/ui/MapGraph3D.h"
#include "mapedit/ui/MapToolbar.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <utility>

namespace {

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        return true;
    default:
        return false;
    }
}

} // namespace

bool MapEditor::event(QEvent* e)
{
    if (!IsInput(e->type()))
        return QWidget::event(e);
    if (inputDepth_ > 0)
        return true;
    const InputMessage handling;
    // Tab changes sheets; Qt would take it to move the focus before keyPressEvent saw it.
    if (e->type() == QEvent::KeyPress
        && (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Tab || static_cast<QKeyEvent*>(e)->key() == Qt::Key_Backtab)) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return e->isAccepted() || QWidget::event(e);
    }
    return QWidget::event(e);
}

int MapEditor::KeyCode(const QKeyEvent& e)
{
    static const std::pair<int, int> keys[] = {
        { Qt::Key_Tab, KEY_TAB },
        { Qt::Key_Backtab, KEY_TAB },
        { Qt::Key_Return, KEY_ENTER },
        { Qt::Key_Enter, KEY_ENTER },
        { Qt::Key_Space, KEY_SPACE },
        { Qt::Key_PageUp, KEY_PAGE_UP },
        { Qt::Key_PageDown, KEY_PAGE_DOWN },
        { Qt::Key_End, KEY_END },
        { Qt::Key_Home, KEY_HOME },
        { Qt::Key_Left, KEY_LEFT },
        { Qt::Key_Up, KEY_UP },
        { Qt::Key_Right, KEY_RIGHT },
        { Qt::Key_Down, KEY_DOWN },
        { Qt::Key_Insert, KEY_INSERT },
        { Qt::Key_Delete, KEY_DELETE },
        { Qt::Key_Backspace, KEY_BACKSPACE },
        { Qt::Key_Escape, KEY_ESC },
    };
    for (const auto& [qtKey, key] : keys)
        if (e.key() == qtKey)
            return key;
    const bool ctrl = e.modifiers() & Qt::ControlModifier;
    if (ctrl && e.key() == Qt::Key_C)
        return KEY_CTRL_C;
    if (ctrl && e.key() == Qt::Key_V)
        return KEY_CTRL_V;
    if (!e.text().isEmpty() && e.text()[0].unicode() < 128 && e.text()[0].unicode() >= 32)
        return e.text()[0].unicode();
    return 0;
}

void MapEditor::keyPressEvent(QKeyEvent* e)
{
    const bool shift = e->modifiers() & Qt::ShiftModifier, ctrl = e->modifiers() & Qt::ControlModifier;
    const int key = KeyCode(*e);
    if (key && OnKey(key, shift || e->key() == Qt::Key_Backtab, ctrl)) {
        e->accept();
        RequestRepaint(REPAINT);
    } else {
        e->ignore();
    }
}

void MapEditor::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint position = e->position().toPoint();
    const bool changed = position != mouse_;
    mouse_ = position;
    if (!changed)
        return;
    MapViewPart* view = ViewAt(position);
    if (view != hoverView_) {
        // The view the pointer left forgets its hover marks and step arrows.
        if (hoverView_ && !leftHeld_ && SheetCount() && Sheet().enabled)
            hoverView_->MouseMove(QPoint(-10000, -10000), false);
        hoverView_ = view;
    }
    if (view && SheetCount() && Sheet().enabled) {
        setCursor(view->MouseMove(position, leftHeld_));
        hintText_ = view->Hint();
    }
    if (const QString buttonHint = toolbar_->HintAt(position); !buttonHint.isEmpty() && !leftHeld_)
        hintText_ = buttonHint;
    if (!hintText_.isEmpty() || !toolTip().isEmpty())
        setToolTip(hintText_);
}

void MapEditor::mousePressEvent(QMouseEvent* e)
{
    const QPoint position = e->position().toPoint();
    mouse_ = position;
    setFocus(Qt::MouseFocusReason);
    if (SheetCount() == 0)
        return;
    const int sheetTab = SheetTabAt(position);
    if (e->button() == Qt::RightButton) {
        if (sheetTab >= 0) {
            SelectSheet(sheetTab);
            return;
        }
        if (MapViewPart* view = ViewAt(position); view && Sheet().enabled)
            view->RightClickSelect(position);
        BuildPopup(position);
        popup_->popup(mapToGlobal(position));
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    leftHeld_ = true;
    if (toolbar_->MousePress(position))
        return;
    if (sheetTab >= 0) {
        SelectSheet(sheetTab);
        return;
    }
    if (TitleShown() && (Sheet().flags & SF_CAN_DISABLE) && TitleCheckBox().adjusted(-4, -4, 4, 4).contains(position)) {
        RunCommand(CMD_ENABLE_SHEET);
        return;
    }
    pressedView_ = nullptr;
    if (MapViewPart* view = ViewAt(position); view && Sheet().enabled) {
        pressedView_ = view;
        view->MousePress(position, e->modifiers());
    }
    RequestRepaint(REPAINT);
}

void MapEditor::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    leftHeld_ = false;
    if (toolbar_->MouseRelease(e->position().toPoint())) {
        pressedView_ = nullptr;
        return;
    }
    MapViewPart* view = ViewAt(e->position().toPoint());
    pressedView_ = nullptr;
    if (view && SheetCount())
        view->MouseRelease(e->position().toPoint());
}

void MapEditor::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || SheetCount() == 0)
        return;
    leftHeld_ = true;
    if (toolbar_->DoubleClick(e->position().toPoint()))
        return;
    if (MapViewPart* view = ViewAt(e->position().toPoint()); view && Sheet().enabled)
        view->DoubleClick(e->position().toPoint());
}

void MapEditor::wheelEvent(QWheelEvent* e)
{
    if (leftHeld_ || SheetCount() == 0 || !Sheet().enabled) {
        e->accept();
        return;
    }
    // The 3D graph's wheel depends on Shift and Ctrl as they are at this notch.
    interaction_.SetModifiers(e->modifiers() & Qt::ShiftModifier, e->modifiers() & Qt::ControlModifier);
    const int delta = e->angleDelta().y();
    const int notches = delta / 120 != 0 ? delta / 120 : (delta > 0 ? 1 : delta < 0 ? -1 : 0);
    MapViewPart* view = ViewAt(e->position().toPoint());
    for (int i = 0; view && i < std::abs(notches); ++i)
        view->Wheel(e->position().toPoint(), notches > 0 ? 1 : -1);
    e->accept();
}

void MapEditor::focusInEvent(QFocusEvent*)
{
    focused_ = true;
    RequestRepaint(REPAINT);
}

void MapEditor::focusOutEvent(QFocusEvent*)
{
    focused_ = false;
    EndPress();
    if (Editing())
        CommitCellEdit();
    RequestRepaint(REPAINT);
}

void MapEditor::EndPress()
{
    leftHeld_ = false;
    // Released away from every button, the held toolbar button runs no command.
    toolbar_->MouseRelease(QPoint(-10000, -10000));
    MapViewPart* view = pressedView_;
    pressedView_ = nullptr;
    if (view && SheetCount())
        view->MouseRelease(mouse_);
}

void MapEditor::leaveEvent(QEvent*)
{
    mouse_ = QPoint(-1, -1);
    // The 3D graph's hint in the status line is its own; it goes with the pointer.
    if (viewMode_ == VIEW_3D && SheetCount())
        graph3d_->MouseMove(QPoint(-10000, -10000), false);
}

bool MapEditor::OnKey(int key, bool shift, bool ctrl)
{
    if (interaction_.OnKey(key, shift, ctrl))
        return true;
    return viewMode_ == VIEW_3D && SheetCount() && Sheet().enabled && graph3d_->Key(key);
}
