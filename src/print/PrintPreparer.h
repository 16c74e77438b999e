#pragma once

#include "print/PrintedControl.h"

#include <QPalette>
#include <QPointer>
#include <QScrollArea>
#include <QSize>

#include <vector>

class MonitorPanel;
class QMainWindow;
class QTabWidget;

// Turns the main window into its printable form (white background, no buttons, arrows, tool bar,
// player or status bar, transparent labels, map editors in print mode, the monitor's values as
// without a unit, no focus) and puts every change back afterwards.
// Each change is recorded, so only what Prepare changed is restored: a control hidden before
// stays hidden, a coloured label keeps its colour.
class PrintPreparer {
public:
    PrintPreparer() = default;
    PrintPreparer(const PrintPreparer&) = delete;
    PrintPreparer& operator=(const PrintPreparer&) = delete;
    ~PrintPreparer() { Restore(); }

    // Prepares the whole window; a second Prepare without Restore changes nothing more.
    void Prepare(QMainWindow& window);
    // Puts back what Prepare changed, in the order it was changed; empties both lists.
    void Restore();

    bool prepared() const { return window_ != nullptr; }
    const std::vector<PrintedControl>& records() const { return records_; }
    // The sheets that were shown as tabs, each with its tab control, in the order they were met.
    struct Sheet {
        QPointer<QTabWidget> tabs;
        QPointer<QWidget> sheet;
    };
    const std::vector<Sheet>& sheets() const { return sheets_; }

    // The window's own controls that never go on paper, by name.
    static constexpr const char* HIDDEN_NAMES[] = {
        "LabelPocetProgramovani",
        "ToolBar1", // the tool bar group
        "CheckBoxProgHned",
        "LabelConnection",
        "LabelCongruence",
        "GroupBoxPlayer", // the monitor player: a recording is no setting
    };

private:
    void GrowToShowWholePages(QMainWindow& window);
    void PrepareContainer(QWidget* container);
    void PrepareChild(QWidget* child);
    void PrepareTabs(QTabWidget* tabs);
    void Hide(QWidget* control, PrintKind kind);
    void Whiten(QWidget* control, PrintKind kind);
    void Record(QWidget* control, PrintKind kind, PrintedControl::Change change);
    static void Undo(const PrintedControl& r);

    QPointer<QMainWindow> window_;
    QPointer<MonitorPanel> restingPanel_;
    QPointer<QWidget> focus_;
    std::vector<QPointer<QScrollArea>> scrollAreas_;
    QSize windowSize_;
    QPalette windowPalette_;
    bool windowOwnPalette_ = false;
    bool windowAutoFill_ = false;
    std::vector<PrintedControl> records_;
    std::vector<Sheet> sheets_;
};

// The colour a control shows behind its contents.
QColor ControlColour(const QWidget* control);
// The system button face, the colour controls have unless the program gave them another.
QColor ButtonFaceColour();
