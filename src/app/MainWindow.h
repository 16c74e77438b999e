#pragma once

#include "app/CommandLine.h"
#include "app/EditCycle.h"
#include "app/LinkHost.h"
#include "app/MonitorHost.h"
#include "files/ParamFileState.h"
#include "mapedit/MapEditorHost.h"
#include "model/ImageValidation.h"
#include "model/MonitorImage.h"
#include "model/ParamImage.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class Archive;
class ControlBinder;
class FileMenu;
class MapEditorList;
class QCheckBox;
class QTimer;
class SettingsStore;
class WindowDifferences;
class WindowHandOver;
class WindowHelp;
class WindowHistory;
class WindowLanguage;
class WindowLink;
class WindowMonitor;
class WindowPages;
class WindowSettings;
class WindowStatusBar;
class WindowUndo;
class WindowUpdate;

// The main window. It owns all state of the running program (the parameter and monitor images,
// the map editors), runs its life from creation through the timer loop to
// shutdown, and hands each duty to a part: the link side, the file menu, the settings pages, the
// monitor side, the undo side, the language side, the status bar, the comparison, the workshop
// history, the Help menu, the update check, what comes from outside and the saved settings. It runs the edit cycle every part changes the
// image through, and passes on to each part what another part reports.
class MainWindow : public QMainWindow, private EditCycle, private MapEditorHost, private LinkHost, private MonitorHost {
    Q_OBJECT

public:
    using ErrorBox = std::function<void(const std::string&)>;

    // args: the command-line arguments without the program name. errorBox shows the
    // messages of the text machinery and the layout check (default: a message box "Error").
    explicit MainWindow(const std::vector<std::string>& args = {}, ErrorBox errorBox = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // One 55 ms tick of the main timer; tests call it directly.
    void Timer1Timer();

    int TickCounter() const { return tickCounter_; }
    bool Initialised() const { return initialised_; }
    bool NoUpdateCheck() const { return noUpdateCheck_; }
    const std::string& CompileDate() const override { return compileDate_; }

    ParamImage& Image() override { return image_; }
    MonitorImage& MonitorData() { return monitorData_; }

    // Settings: read at start-up, written at shutdown and whenever an undo slot is stored.
    bool SaveSettings() override;

    // The parts.
    EditCycle& Edits() { return *this; }
    WindowLink& Link() { return *link_; }
    WindowMonitor& Monitor() { return *monitor_; }
    WindowPages& Pages() { return *pages_; }
    WindowUndo& Undo() { return *undo_; }
    WindowLanguage& Language() { return *language_; }
    WindowStatusBar& Status() { return *status_; }
    FileMenu& Files() { return *fileMenu_; }
    WindowDifferences& Differences() { return *differences_; }
    WindowHistory& History() { return *history_; }
    WindowHelp& Help() { return *help_; }
    WindowHandOver& HandOver() { return *handOver_; }
    // The window was closed, perhaps by a signal while it was still being built.
    bool Closed() const { return closed_; }
    // The map editors of the pages. An edit committed in an editor is stored through its page and
    // committed as an edit of that page.
    MapEditorList& MapEditors() { return *mapEditors_; }

    // Tests answer the question boxes through this.
    std::function<Answer(const char*)> questionBox;
    // Shows the map editors' messages; tests replace it.
    std::function<void(const QString&)> mapMessageBox;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    // Enter in a control of the window moves the focus on and applies the edit (FormKeyPress).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateParts();
    void CreateForm();
    void FormCreate();
    void FormClose();
    void BuildMenus();
    void AddAdvanceMenuItems(QMenu* tools);
    void ApplyCommandLine();
    void StartLink();
    void SyncMapEditors();
    void DetachMapEditors();

    // EditCycle
    void RequestCommit(QObject* control, int kind) override;
    void MarkEditorsForReload() override { editorsReload_ = true; }
    Answer AskYesNoCancel(const char* langText) override;
    void NewWithoutAsking() override;
    void RefreshActivePage() override { RefreshPages(false); }
    void FocusProgramAfterChange() override;
    void ApplyPage() override;
    void CommitPendingEdit() override;
    void CommitEdit() override;
    void RefreshPages(bool all) override;
    void ImageReplaced() override;
    bool TakeUndoSnapshot() override;
    void ImageEdited(bool changed) override;
    void UpdateCaption() override;

    // MapEditorHost
    void OnMapChanged(MapModel& editor, int mask) override;
    void ShowMapMessage(MapModel& editor, const char* text) override;

    // LinkHost
    void PortSelectionChanged(int forcedPort) override;
    void PortHandedOver() override;
    void SetUnitPanelText(const std::string& text) override;
    void ResultShown(int slot, uint32_t backColour) override;
    void CommandEnded(ConnectionHost::CommandKind kind, bool ok, const ParamImage* unit) override;

    // MonitorHost
    int ConnectedPort() const override;
    bool UnitFeedsMonitor() const override;
    ConnectionManager& Connection() override;
    std::string UnitPanelText() const override;
    const RuntimeTexts& Texts() const override;
    PageRecord ShownPages() const override;
    void ShowPages(const PageRecord& record) override;
    void UpdatePageVisibility() override;
    WindowUndo& UndoSide() override { return *undo_; }
    ParamFileState& FileState() override { return fileState_; }

    ParamImage image_;
    std::unique_ptr<Archive> archive_;
    std::unique_ptr<WindowUpdate> update_;
    MonitorImage monitorData_;
    OutsideSettings outside_;
    CommandLine commandLine_;
    ErrorBox errorBox_;

    int tickCounter_ = 0;
    bool initialised_ = false;
    bool inTick_ = false;
    bool closed_ = false;
    bool noUpdateCheck_ = false;
    bool testMode_ = false;
    int testPort_ = 0;
    ParamFileState fileState_;
    std::string compileDate_;

    std::unique_ptr<ControlBinder> binder_;
    std::unique_ptr<MapEditorList> mapEditors_;
    bool editorsReload_ = false;
    std::unique_ptr<SettingsStore> store_;

    // The parts. The link comes last so that it goes first: its connection manager works on the
    // monitor side's request and on the image the other parts show.
    std::unique_ptr<WindowSettings> settings_;
    std::unique_ptr<WindowMonitor> monitor_;
    std::unique_ptr<WindowUndo> undo_;
    std::unique_ptr<WindowLanguage> language_;
    std::unique_ptr<WindowPages> pages_;
    std::unique_ptr<WindowStatusBar> status_;
    std::unique_ptr<WindowHelp> help_;
    std::unique_ptr<WindowHandOver> handOver_;
    std::unique_ptr<WindowDifferences> differences_;
    std::unique_ptr<WindowHistory> history_;
    std::unique_ptr<WindowLink> link_;
    FileMenu* fileMenu_ = nullptr;

    QCheckBox* programAtOnce_ = nullptr;
    QTimer* timer_ = nullptr;
};
