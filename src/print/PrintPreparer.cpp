#include "print/PrintPreparer.h"

#include "base/Colours.h"
#include "mapedit/ui/MapEditor.h"
#include "monitor/ui/MonitorPanel.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>

namespace {

const QColor WHITE(255, 255, 255);

bool IsButtonFace(const QColor& colour)
{
    // A control left at the window's own colour shows the button face as well.
    return colour == ButtonFaceColour() || colour == QApplication::palette().color(QPalette::Window);
}

void SetBackground(QWidget* control, const QColor& colour)
{
    QPalette p = control->palette();
    p.setColor(control->backgroundRole(), colour);
    control->setPalette(p);
}

void PutPaletteBack(QWidget* control, const QPalette& palette, bool own)
{
    // An empty palette lets the control inherit its parent's again.
    control->setPalette(own ? palette : QPalette());
}

} // namespace

QColor ControlColour(const QWidget* control) { return control->palette().color(control->backgroundRole()); }

QColor ButtonFaceColour() { return ToQColor(0xFF00000F); }

void PrintPreparer::Prepare(QMainWindow& window)
{
    if (window_)
        return;
    window_ = &window;
    // Without the focus no field shows its focus frame or selected text on paper.
    if (QWidget* focused = QApplication::focusWidget(); focused && focused->window() == &window) {
        focus_ = focused;
        focused->clearFocus();
    }
    // The live values are shown as without a unit, before the hiding below, which they must not undo.
    if (auto* panel = window.findChild<MonitorPanel*>()) {
        restingPanel_ = panel;
        panel->BeginResting();
    }
    windowPalette_ = window.palette();
    windowOwnPalette_ = window.testAttribute(Qt::WA_SetPalette);
    windowAutoFill_ = window.autoFillBackground();
    SetBackground(&window, WHITE);
    window.setAutoFillBackground(true);
    // The status bar's texts are printed whole at the foot of the page instead of its cut panels.
    if (QStatusBar* bar = window.findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly); bar && !bar->isHidden())
        Hide(bar, KIND_STATUS_BAR);

    // The menu bar is not part of the window's picture on paper.
    if (QWidget* menu = window.menuWidget(); menu && !menu->isHidden())
        Hide(menu, KIND_OTHER);
    for (const char* name : HIDDEN_NAMES)
        if (auto* control = window.findChild<QWidget*>(name); control && !control->isHidden())
            Hide(control, PrintKindOf(control));

    if (window.centralWidget())
        PrepareContainer(window.centralWidget());
    if (window.layout())
        window.layout()->activate();
    GrowToShowWholePages(window);
}

// A page that scrolls in the window is printed whole: the window grows, for the printout only,
// by what the largest page lacks, and no scroll bar goes on paper.
void PrintPreparer::GrowToShowWholePages(QMainWindow& window)
{
    QSize lacking(0, 0);
    for (QScrollArea* area : window.findChildren<QScrollArea*>()) {
        if (!area->widget() || area->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
            continue;
        const QSize whole = area->widget()->minimumSizeHint().expandedTo(area->widget()->minimumSize());
        const QSize shown = area->maximumViewportSize();
        lacking = lacking.expandedTo(QSize(whole.width() - shown.width(), whole.height() - shown.height()));
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scrollAreas_.push_back(area);
    }
    windowSize_ = window.size();
    window.resize(window.size() + lacking.expandedTo(QSize(0, 0)));
    if (window.layout())
        window.layout()->activate();
}

void PrintPreparer::PrepareContainer(QWidget* container)
{
    const auto children = container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children)
        PrepareChild(child);
}

void PrintPreparer::PrepareChild(QWidget* child)
{
    const PrintKind kind = PrintKindOf(child);
    switch (kind) {
    case KIND_GROUP_BOX:
        PrepareContainer(child);
        if (ControlColour(child) != WHITE)
            Whiten(child, kind);
        break;
    case KIND_PAGE_CONTROL:
        PrepareTabs(static_cast<QTabWidget*>(child));
        break;
    case KIND_LABEL:
        if (child->autoFillBackground() && IsButtonFace(ControlColour(child))) {
            child->setAutoFillBackground(false);
            Record(child, kind, PrintedControl::LABEL_TRANSPARENT);
        }
        break;
    case KIND_UPDOWN:
    case KIND_DECI_UPDOWN:
        // The up-down and its edit field are one control here: only the arrows go.
        if (auto* spin = static_cast<QAbstractSpinBox*>(child);
            spin->buttonSymbols() == QAbstractSpinBox::UpDownArrows) {
            spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
            Record(child, kind, PrintedControl::CONTROL_HIDDEN);
        }
        break;
    case KIND_BUTTON:
    case KIND_GAUGE:
    case KIND_BITMAP_BUTTON:
        if (!child->isHidden())
            Hide(child, kind);
        break;
    case KIND_RADIO_GROUP:
    case KIND_CHECK_BOX:
        if (IsButtonFace(ControlColour(child)))
            Whiten(child, kind);
        break;
    case KIND_MAP_EDITOR:
        if (!child->isHidden()) {
            static_cast<MapEditor*>(child)->SetPrintMode(true);
            Record(child, kind, PrintedControl::MAP_EDITOR_PRINT_MODE);
        }
        break;
    case KIND_OTHER:
        // Plain panels hold the window's controls as a form's containers do.
        PrepareContainer(child);
        break;
    default:
        break;
    }
}

void PrintPreparer::PrepareTabs(QTabWidget* tabs)
{
    for (int i = 0; i < tabs->count(); ++i) {
        QWidget* sheet = tabs->widget(i);
        PrepareContainer(sheet);
        if (tabs->isTabVisible(i))
            sheets_.push_back({ tabs, sheet });
    }
}

void PrintPreparer::Record(QWidget* control, PrintKind kind, PrintedControl::Change change)
{
    PrintedControl r;
    r.control = control;
    r.kind = kind;
    r.change = change;
    r.colour = ControlColour(control);
    r.palette = control->palette();
    r.ownPalette = control->testAttribute(Qt::WA_SetPalette);
    records_.push_back(r);
}

void PrintPreparer::Hide(QWidget* control, PrintKind kind)
{
    Record(control, kind, PrintedControl::CONTROL_HIDDEN);
    control->hide();
}

void PrintPreparer::Whiten(QWidget* control, PrintKind kind)
{
    Record(control, kind, PrintedControl::COLOUR_CHANGED);
    SetBackground(control, WHITE);
}

void PrintPreparer::Undo(const PrintedControl& r)
{
    QWidget* control = r.control;
    if (!control)
        return;
    switch (r.change) {
    case PrintedControl::CONTROL_HIDDEN:
        if (r.kind == KIND_UPDOWN || r.kind == KIND_DECI_UPDOWN)
            static_cast<QAbstractSpinBox*>(control)->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        else
            control->show();
        break;
    case PrintedControl::LABEL_TRANSPARENT:
        control->setAutoFillBackground(true);
        break;
    case PrintedControl::COLOUR_CHANGED:
        PutPaletteBack(control, r.palette, r.ownPalette);
        break;
    case PrintedControl::MAP_EDITOR_PRINT_MODE:
        static_cast<MapEditor*>(control)->SetPrintMode(false);
        break;
    }
}

void PrintPreparer::Restore()
{
    if (window_) {
        PutPaletteBack(window_, windowPalette_, windowOwnPalette_);
        window_->setAutoFillBackground(windowAutoFill_);
    }
    for (const PrintedControl& r : records_)
        Undo(r);
    if (restingPanel_)
        restingPanel_->EndResting();
    for (QScrollArea* area : scrollAreas_)
        if (area) {
            area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        }
    scrollAreas_.clear();
    if (window_ && windowSize_.isValid())
        window_->resize(windowSize_);
    windowSize_ = QSize();
    if (window_ && window_->layout())
        window_->layout()->activate();
    if (focus_)
        focus_->setFocus(Qt::OtherFocusReason);
    records_.clear();
    sheets_.clear();
    window_ = nullptr;
    restingPanel_ = nullptr;
    focus_ = nullptr;
}
