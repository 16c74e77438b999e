#pragma once

#include "app/CommandLine.h"
#include "app/WindowLanguage.h"
#include "app/WindowMonitor.h"
#include "app/WindowPages.h"
#include "app/WindowSettings.h"
#include "app/WindowStatusBar.h"
#include "app/WindowUndo.h"
#include "archive/Archive.h"
#include "files/IgnOpen.h"
#include "files/ParamFileState.h"
#include "mapedit/MapEditorHost.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/MapEditor.h"
#include "model/ChangedMap.h"
#include "model/ImageValidation.h"
#include "model/MonitorImage.h"
#include "model/ParamImage.h"
#include "pages/ControlBinder.h"
#include "pages/SettingsPage.h"
#include "update/UpdateCheck.h"
#include "update/PatchSettings.h"
#include "update/ui/PatchWindowHost.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QTimer;
class FileMenu;
class AboutDialog;
class WindowLink;
class BootloaderChannel;

// The main window. It owns all state of the running program (the parameter and monitor images,
// the map editors, the update check), runs its life from creation through the timer loop to
// shutdown, and hands each duty to a part: the link side, the file menu, the settings pages, the
// monitor side, the undo side, the language side, the status bar and the saved settings.
class MainWindow : public QMainWindow, public PageHost, public MapEditorHost {
    Q_OBJECT

public:
    using ErrorBox = std::function<void(const std::string&)>;

    // args: the command-line arguments without the program name. errorBox shows the
    // messages of the text machinery and the layout check (default: a message box "Error").
    explicit MainWindow(const std::vector<std::string>& args = {}, ErrorBox errorBox = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // One 55 ms tick of the main timer; tests call it directly.
    void Timer1Timer();

    int tickCounter() const { return tickCounter_; }
    bool initialised() const { return initialised_; }
    bool noUpdateCheck() const { return noUpdateCheck_; }
    const std::string& compileDate() const { return compileDate_; }

    ParamImage& image() { return Image; }
    MonitorImage& monitor() { return Monitor; }

    // The page framework: apply an edit now or after a short pause, then validate, refresh and
    // take an undo snapshot.
    void RequestCommit(QObject* control, int kind) override;
    void CommitEdit();
    void ApplyPage() { pages_->StoreActive(); }
    void RefreshPages(bool all);
    void UpdatePageVisibility(bool all) { pages_->UpdateVisibility(all); }
    void SelectPage(int page) { pages_->Select(page); }
    int activePage() const { return pages_->active(); }
    SettingsPage* page(int index) const { return pages_->page(index); }
    WindowPages& pagesUi() { return *pages_; }
    // The image changed by an edit, an undo or a redo: compare it with the unit and, while
    // "program at once" is on, program a change.
    void ImageEdited(bool changed);

    void Undo() { undo_->Undo(); }
    void Redo() { undo_->Redo(); }
    const UndoRing& undoRing() const { return undo_->ring(); }
    ChangedMap& changedMap();
    int pendingCommand() const;
    // The link replaced the image (a Read): every page and map editor shows it again.
    void ImageReplaced();

    // The unit link: Ignition menu, command buttons, status labels, COM menu.
    WindowLink& linkUi() { return *link_; }
    void SetUnitPanelText(const std::string& text) { status_->SetUnitText(text); }
    // The COM menu chose another port selection.
    void PortSelectionChanged(int forcedPort);
    // A Read replaced the image, so no parameter file describes it any longer.
    void ForgetFileName();
    bool newInstallation() const { return fileState_.newInstal != 0; }
    void setNewInstallation(bool on) { fileState_.newInstal = on ? 1 : 0; }

    // PageHost
    void MarkEditorsForReload() override { editorsReload_ = true; }
    Answer AskYesNoCancel(const char* langText) override;
    void NewWithoutAsking() override;
    void RefreshActivePage() override { RefreshPages(false); }
    void FocusProgramAfterChange() override;

    // Language: sets the index, rebuilds the runtime texts and every caption, refreshes the page.
    void SetLanguage(int language) { language_->SetLanguage(language); }
    const RuntimeTexts& texts() const { return language_->texts(); }

    // The monitor display, the monitor player and its panel (Tools menu, Ctrl+M).
    WindowMonitor& monitorUi() { return *monitor_; }
    // Shows the monitor data (live, replayed or "---") and recomputes the operating point.
    void RefreshMonitorDisplay() { monitor_->Refresh(); }
    const MonitorView& monitorView() const { return monitor_->view(); }
    MonitorRequest& monitorRequest() { return monitor_->request(); }
    MonitorPlayer& player() { return monitor_->player(); }
    void MenuMonitorPlayerClick() { monitor_->TogglePlayer(); }
    bool liveSource() const { return monitor_->liveSource(); }
    // Asks for a monitor log file name; tests replace it.
    std::function<QString(bool forSaving)> chooseLogFile;

    // Settings: read at start-up, written at shutdown and whenever an undo slot is stored.
    bool SaveSettings();
    const SettingsStore& settingsStore() const { return settings_->store(); }
    const Archive& crate() const { return crate_; }
    UpdateCheck& patchCheck() { return *patch_; }

    // Help menu: the user manual in the shell's viewer, the About box.
    void MenuContensClick();
    AboutDialog* aboutBox() const { return FormAbout; }
    // How the shell opens an address; tests replace it.
    std::function<bool(const QString&)> openUrl;

    // Tests answer the question boxes through this.
    std::function<Answer(const char*)> questionBox;

    // The map editors of the pages. An edit committed in an editor is stored through its page and
    // committed as an edit of that page.
    MapEditorList& mapEditors() { return mapEditors_; }
    void OnMapChanged(MapModel& editor, int mask) override;
    void ShowMapMessage(MapModel& editor, const char* text) override;
    // Shows the map editors' messages; tests replace it.
    std::function<void(const QString&)> mapMessageBox;

    // Rebuilds the window caption from the current file name and link state.
    void UpdateCaption();

    // The file commands: current file, dialogs' folder, history, new-installation flag.
    ParamFileState& paramFileState() { return fileState_; }
    FileMenu& fileMenu() { return *fileMenu_; }
    // Opens a parameter file for all pages (PAGE_ALL) or one page, as the history menu does.
    IgnOpenResult OpenParameterFile(int page, const QString& path);
    // A file named on the command line or handed over by a second start: a ".ign" file opens as
    // File > Open opens it, a ".ignlog" recording in the monitor player; other names are ignored.
    void OpenFromOutside(const QString& path);
    // Applies an edit still waiting for its delay at once.
    void CommitPendingEdit() { pages_->CommitPending(); }
    // Stores an undo slot when the image changed; true when it did.
    bool TakeUndoSnapshot() { return undo_->TakeSnapshot(); }
    // Hides the second status message (LabelResult) after New and Open.
    void HideResultStatus();
    QString statusPanelText(int panel) const { return status_->Text(panel); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    // Enter in a control of the window moves the focus on and applies the edit (FormKeyPress).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateForm();
    void FormCreate();
    void FormClose();
    void BuildMenus();
    void AddAdvanceMenuItems(QMenu* tools);
    void ApplyCommandLine();
    void OpenCommandLineFiles();
    void ListenForBootloader();
    void StartLink();
    void ConnectFileMenuToLink();
    void CentreWindow();
    void StartUpdateCheck();
    void SyncMapEditors();
    void DetachMapEditors();

    ParamImage Image;
    Archive crate_;
    PatchSettings patchSettings_;
    std::unique_ptr<PatchWindowHost> patchHost_;
    std::unique_ptr<UpdateCheck> patch_;
    MonitorImage Monitor;
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
    FileMenu* fileMenu_ = nullptr;
    std::string compileDate_;

    ControlBinder binder_ {Image};
    MapEditorList mapEditors_ {this};
    bool editorsReload_ = false;

    // The parts. The link comes last so that it goes first: its connection manager works on the
    // monitor side's request.
    std::unique_ptr<WindowSettings> settings_;
    std::unique_ptr<WindowMonitor> monitor_;
    std::unique_ptr<WindowUndo> undo_;
    std::unique_ptr<WindowLanguage> language_;
    std::unique_ptr<WindowPages> pages_;
    std::unique_ptr<WindowStatusBar> status_;
    std::unique_ptr<WindowLink> link_;
    BootloaderChannel* bootloader_ = nullptr;

    AboutDialog* FormAbout = nullptr;
    QCheckBox* CheckBoxProgHned = nullptr;
    QTimer* Timer1 = nullptr;
};
