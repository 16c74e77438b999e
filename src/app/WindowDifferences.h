#pragma once

#include "model/ImageDifference.h"
#include "model/ParamImage.h"

#include <QObject>
#include <QString>

#include <cstdint>

class DifferencesDialog;
class EditCycle;
class MapEditorList;
class QLabel;
class QMenu;
class QWidget;
class WindowLink;
class WindowPages;
struct ParamFileState;

// The window side of the comparison: the Ignition menu's "Differences…" command, the click on the
// different-settings label, the dialog, and the way from a row of the dialog to its setting on a
// page. It compares the settings on the screen with the unit's configuration as last read (at
// connection, by Read, or by a Verify or a program's read-back that failed), or, with no unit, with
// the parameter file last opened or saved.
class WindowDifferences : public QObject {
    Q_OBJECT

public:
    // window: the parent of the dialog and where the controls of the settings are found.
    WindowDifferences(QWidget& window, EditCycle& edits, WindowPages& pages, WindowLink& link,
        const ParamFileState& files, MapEditorList& editors);
    ~WindowDifferences() override;

    // Adds "Differences…" to the Ignition menu.
    void AddMenuItem(QMenu* device);
    // A click on label opens the dialog.
    void OpenOnClick(QLabel* label);
    // Compares and shows the dialog (again).
    void Open();
    // Compares again and shows the result in the open dialog.
    void Refresh();
    // Called with every result message the connection manager shows: after "Verify error !" the
    // dialog offers itself, showing what the unit answered.
    void ResultShown(int slot, uint32_t backColour);
    // Shows the page of a difference and selects its control or map cell.
    void ShowPlace(const ImageDifference& d);

    // nullptr until the dialog was first opened.
    DifferencesDialog* Dialog() const { return dialog_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the screen is compared with.
    struct Other {
        bool known = false;
        ParamImage image;
        QString subject;
        const char* title = nullptr;
    };
    Other ChooseOther() const;
    bool FocusControl(const FieldFact& f, int element);
    bool SelectMapElement(const ImageDifference& d);
    bool SelectPageOf(QWidget* widget);

    QWidget& window_;
    EditCycle& edits_;
    WindowPages& pages_;
    WindowLink& link_;
    const ParamFileState& files_;
    MapEditorList& editors_;
    DifferencesDialog* dialog_ = nullptr;
    QLabel* label_ = nullptr;
    // What the unit answered to the last Verify or read-back that failed, and the unit mirror at that
    // moment: once the mirror changes (Read, Program) the mirror is the newer knowledge.
    bool failedReadValid_ = false;
    ParamImage failedRead_;
    ParamImage mirrorAtFailure_;
    int32_t mirrorValidAtFailure_ = 0;
};
