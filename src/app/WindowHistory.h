#pragma once

#include "history/HistoryLocation.h"
#include "history/ui/HistoryDialog.h"
#include "link/ConnectionHost.h"
#include "model/ParamImage.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class DifferencesDialog;
class EditCycle;
class HistoryStore;
class HistoryWriter;
class QLabel;
class QMenu;
class QStatusBar;
class QTimer;
class QWidget;
class SettingsStore;
class WindowDifferences;
class WindowLink;
struct ParamFileState;

// The window side of the workshop history: every connection, Read, Verify and Program the
// connection manager reports goes to the history file in the settings folder (written in the
// background), and the Ignition menu's "Unit history…" shows it. From the dialog a past configuration
// can be opened as the settings (one undo step, as a file open), compared with the screen or the
// connected unit, or saved as a parameter file; a unit can be forgotten. With a history server
// (chosen in the dialog, else VORDAX4_HISTORY_URL) the events waiting in the bench's outbox are sent
// every minute, and the status bar counts them.
class WindowHistory : public QObject {
    Q_OBJECT

public:
    // window: the parent of the dialogs. A row of the comparison shows its place as the
    // Differences… dialog does. The history file lies in the settings folder of store.
    WindowHistory(QWidget& window, EditCycle& edits, WindowLink& link, WindowDifferences& differences,
        const ParamFileState& files, const SettingsStore& store);
    ~WindowHistory() override;

    void AddMenuItem(QMenu* device);
    // The count of events waiting for the server, shown only while there are some.
    void AddStatusWidget(QStatusBar* bar);
    // The connection manager's report (ConnectionHost::CommandEnded).
    void CommandEnded(ConnectionHost::CommandKind kind, bool ok, const ParamImage* unit);
    // Shows the dialog with what has been written so far.
    void Open();

    // nullptr until the dialog was first opened.
    HistoryDialog* Dialog() const { return dialog_; }
    DifferencesDialog* Comparison() const { return comparison_; }
    // The history file: history.sqlite in the settings folder.
    QString Path() const;
    // Waits until the queued events are written; false when timeoutMs passed first.
    bool WaitWritten(int timeoutMs);
    const HistoryLocation& Location() const { return location_; }
    // Uses the server at url from now on (empty: the file) and keeps the choice; false with a
    // message for an address that cannot be used.
    bool ChooseServer(const QString& url);
    // Sends the events waiting for the server, as the minute's timer does.
    void Sync();
    QLabel* WaitingLabel() const { return waitingLabel_; }

    // Asks for the name of the parameter file to save; tests replace it.
    std::function<QString()> chooseSaveFile;

private:
    HistoryWriter& Writer();
    HistoryStore& Reader();
    void ShowWaiting(int waiting);
    std::string ConnectedIdentity() const;
    void Act(HistoryDialog::Action action, const HistoryUnit& unit, const HistoryEvent* event);
    void OpenAsSettings(const ParamImage& past);
    void Compare(const ParamImage& past, const HistoryUnit& unit, const HistoryEvent& event, bool withUnit);
    void Save(const ParamImage& past, const HistoryUnit& unit, const HistoryEvent& event);
    void Forget(const HistoryUnit& unit);
    void ShowMessages();

    QWidget& window_;
    EditCycle& edits_;
    WindowLink& link_;
    WindowDifferences& differences_;
    const ParamFileState& files_;
    const SettingsStore& store_;
    std::unique_ptr<HistoryWriter> writer_;
    std::unique_ptr<HistoryStore> reader_;
    HistoryLocation location_;
    QTimer* syncTimer_;
    QLabel* waitingLabel_ = nullptr;
    HistoryDialog* dialog_ = nullptr;
    DifferencesDialog* comparison_ = nullptr;
};
