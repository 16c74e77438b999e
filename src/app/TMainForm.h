#pragma once

#include "app/AppSettings.h"
#include "app/CommandLine.h"
#include "app/SettingsStore.h"
#include "files/IgnOpen.h"
#include "files/ParamFileState.h"
#include "archive/CCrate.h"
#include "update/CPatchCheck.h"
#include "update/PatchSettings.h"
#include "update/ui/PatchWindowHost.h"
#include "lang/LanguageSwitch.h"
#include "lang/RuntimeTexts.h"
#include "mapedit/MapEditorHost.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/TTab.h"
#include "monitor/MonitorDisplay.h"
#include "monitor/MonitorPlayer.h"
#include "monitor/MonitorRequest.h"
#include "model/ChangedMap.h"
#include "model/ImageValidation.h"
#include "model/UndoRing.h"
#include "pages/ControlBinder.h"
#include "pages/SettingsPage.h"
#include "model/MonitorImage.h"
#include "model/ParamImage.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
class FileMenu;
class MonitorPanel;
class TFormAbout;
class PlayerPanel;
class WindowLink;
class BootloaderChannel;

// The main window. It owns all state of the running program: the parameter and monitor
// images, the timer loop and, as they are added, the link, the pages and the map editors.
class TMainForm : public QMainWindow, public PageHost, public MapEditorHost {
    Q_OBJECT

public:
    using ErrorBox = std::function<void(const std::string&)>;

    // args: the command-line arguments without the program name. errorBox shows the
    // messages of the text machinery and the layout check (default: a message box "Error").
    explicit TMainForm(const std::vector<std::string>& args = {}, ErrorBox errorBox = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    // One 55 ms tick of the main timer; tests call it directly.
    void Timer1Timer();

    int tickCounter() const { return tickCounter_; }
    bool initialised() const { return initialised_; }
    bool noUpdateCheck() const { return noUpdateCheck_; }

    ParamImage& image() { return Image; }
    MonitorImage& monitor() { return Monitor; }

    // The page framework: apply an edit now or after a short pause, then validate, refresh and
    // take an undo snapshot.
    void RequestCommit(QObject* control, int kind) override;
    void CommitEdit();
    void ApplyPage();
    void RefreshPages(bool all);
    void UpdatePageVisibility(bool all);
    void SelectPage(int page);
    int activePage() const { return activePage_; }
    SettingsPage* page(int index) const { return pages_[static_cast<size_t>(index)]; }

    void Undo();
    void Redo();
    const UndoRing& undoRing() const { return undo_; }
    ChangedMap& changedMap();
    int pendingCommand() const;
    // The link replaced the image (a Read): every page and map editor shows it again.
    void ImageReplaced();

    // The unit link: Ignition menu, command buttons, status labels, COM menu.
    WindowLink& linkUi() { return *link_; }
    void SetUnitPanelText(const std::string& text);
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
    void SetLanguage(int language);
    const RuntimeTexts& texts() const { return texts_; }

    // Shows the monitor data (live, replayed or "---") and recomputes the operating point.
    void RefreshMonitorDisplay();
    const MonitorView& monitorView() const { return monitorView_; }
    MonitorRequest& monitorRequest() { return monitorRequest_; }

    // The monitor player and its panel (Tools menu, Ctrl+M).
    MonitorPlayer& player() { return player_; }
    void MenuMonitorPlayerClick();
    bool liveSource() const { return liveSource_; }
    // Asks for a monitor log file name; tests replace it.
    std::function<QString(bool forSaving)> chooseLogFile;

    // Settings: read at start-up, written at shutdown and whenever an undo slot is stored.
    bool SaveSettings();
    const SettingsStore& settingsStore() const { return settingsStore_; }
    const CCrate& crate() const { return crate_; }
    CPatchCheck& patchCheck() { return *patch_; }

    // Help menu: the user manual in the shell's viewer, the About box.
    void MenuContensClick();
    TFormAbout* aboutBox() const { return FormAbout; }
    // How the shell opens an address; tests replace it.
    std::function<bool(const QString&)> openUrl;

    // Tests answer the question boxes through this.
    std::function<Answer(const char*)> questionBox;

    // The map editors of the pages. An edit committed in an editor is stored through its page and
    // committed as an edit of that page.
    MapEditorList& mapEditors() { return mapEditors_; }
    void OnMapChanged(CTab& editor, int mask) override;
    void ShowMapMessage(CTab& editor, const char* text) override;
    // Shows the map editors' messages; tests replace it.
    std::function<void(const QString&)> mapMessageBox;

    // Rebuilds the window caption from the current file name and link state.
    void UpdateCaption();

    // The file commands: current file, dialogs' folder, history, new-installation flag.
    ParamFileState& paramFileState() { return fileState_; }
    FileMenu& fileMenu() { return *fileMenu_; }
    // Opens a parameter file for all pages (PAGE_ALL) or one page, as the history menu does.
    IgnOpenResult OpenParameterFile(int page, const QString& path);
    // Applies an edit still waiting for its delay at once.
    void CommitPendingEdit();
    // Stores an undo slot when the image changed; true when it did.
    bool TakeUndoSnapshot();
    // Hides the second status message (LabelResult) after New and Open.
    void HideResultStatus();
    QString statusPanelText(int panel) const;

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
    void BuildStatusBar();
    void ApplyCommandLine();
    void StartLink();
    void ConnectFileMenuToLink();
    void CentreWindow();
    void ApplyDefaultVisibility();
    void BuildPages();
    void BuildFunctionPages();
    void AddAdvanceMenuItems(QMenu* tools);
    void SyncMapEditors();
    void DetachMapEditors();
    int PageOfEditor(const QWidget* editor) const;
    std::optional<int> SensorMillivolts() const;
    void CommitPendingIfDue();
    void ApplyTachoPickupText();
    void AfterRestore(const UndoRing::Restored& r, bool isUndo);
    void UpdateUndoButtons();
    void BuildMenus();
    void RetranslatePages();
    MonitorPlayer::Hooks playerHooks();
    void ReplayMonitor(const uint8_t* bytes);
    void UpdateLiveSource();
    LanguageTargets languageTargets();
    void setControlText(const char* control, const char* text);
    void setControlHint(const char* control, const char* text);

    static SettingsPaths ChooseSettingsPaths();
    void LoadSettings();
    void CollectSettings();

    ParamImage Image;
    SettingsStore settingsStore_;
    AppSettings settings_;
    CCrate crate_;
    PatchSettings patchSettings_;
    std::unique_ptr<PatchWindowHost> patchHost_;
    std::unique_ptr<CPatchCheck> patch_;
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

    ControlBinder binder_{Image};
    MapEditorList mapEditors_{this};
    std::array<SettingsPage*, 10> pages_{};
    int activePage_ = 0;
    QObject* pendingControl_ = nullptr;
    int pendingKind_ = 0;
    int pendingDue_ = 0;
    bool editorsReload_ = false;
    MonitorPlayer player_;
    PlayerPanel* playerPanel_ = nullptr;
    UndoRing undo_;
    std::unique_ptr<WindowLink> link_;
    BootloaderChannel* bootloader_ = nullptr;

    RuntimeTexts texts_;
    MonitorRequest monitorRequest_;
    MonitorView monitorView_;
    MonitorPanel* monitorPanel_ = nullptr;
    bool liveSource_ = false;

    TFormAbout* FormAbout = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QCheckBox* CheckBoxProgHned = nullptr;
    QTimer* Timer1 = nullptr;
    std::array<QLabel*, 5> statusPanels_{};
};
