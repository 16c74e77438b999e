#pragma once

#include "history/ui/HistoryDialog.h"
#include "link/ConnectionHost.h"
#include "model/ParamImage.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class DifferencesDialog;
class HistoryDatabase;
class HistoryWriter;
class QMenu;
class MainWindow;
class WindowLink;

// The window side of the workshop history: every connection, Read, Verify and Program the
// connection manager reports goes to the history file in the settings folder (written in the
// background), and the Ignition menu's "Unit history…" shows it. From the dialog a past configuration
// can be opened as the settings (one undo step, as a file open), compared with the screen or the
// connected unit, or saved as a parameter file; a unit can be forgotten.
class WindowHistory : public QObject {
    Q_OBJECT

public:
    WindowHistory(MainWindow& form, WindowLink& link);
    ~WindowHistory() override;

    void AddMenuItem(QMenu* device);
    // The connection manager's report (ConnectionHost::CommandEnded).
    void CommandEnded(ConnectionHost::CommandKind kind, bool ok, const ParamImage* unit);
    // Shows the dialog with what has been written so far.
    void Open();

    // nullptr until the dialog was first opened.
    HistoryDialog* dialog() const { return dialog_; }
    DifferencesDialog* comparison() const { return comparison_; }
    // The history file: history.sqlite in the settings folder.
    QString path() const;
    // Waits until the queued events are written; false when timeoutMs passed first.
    bool WaitWritten(int timeoutMs);

    // Asks for the name of the parameter file to save; tests replace it.
    std::function<QString()> chooseSaveFile;

private:
    HistoryWriter& Writer();
    HistoryDatabase& Reader();
    std::string ConnectedIdentity() const;
    void Act(HistoryDialog::Action action, const HistoryUnit& unit, const HistoryEvent* event);
    void OpenAsSettings(const ParamImage& past);
    void Compare(const ParamImage& past, const HistoryUnit& unit, const HistoryEvent& event, bool withUnit);
    void Save(const ParamImage& past, const HistoryUnit& unit, const HistoryEvent& event);
    void Forget(const HistoryUnit& unit);
    void ShowMessages();

    MainWindow& form_;
    WindowLink& link_;
    std::unique_ptr<HistoryWriter> writer_;
    std::unique_ptr<HistoryDatabase> reader_;
    HistoryDialog* dialog_ = nullptr;
    DifferencesDialog* comparison_ = nullptr;
};
