#pragma once

#include "files/IgnUnitInfo.h"
#include "link/TransferEngine.h"
#include "link/ComMenuModel.h"
#include "link/ConnectionHost.h"
#include "link/ConnectionManager.h"
#include "link/StatusSlots.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class BarGauge;
class QAction;
class QBoxLayout;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class SignalCloseGuard;
class QWidget;
class EditCycle;
class LinkHost;
class MonitorImage;
class UnitSim;
class WindowMonitor;
struct ParamFileState;

// The window side of the unit link: it owns the link object and the connection manager, shows the
// status message labels, the progress gauge, LabelCom and the unit panel, and carries the Ignition
// menu, the command buttons and the COM menu. The connection manager reports to it; it changes the
// image through the window's edit cycle, feeds the monitor side, and passes what concerns the rest
// of the window on to its host. A terminating signal ends the window through it, so that the
// signal never cuts a Program short (SignalCloseGuard).
class WindowLink : public QObject, public ConnectionHost, public StatusLabels {
    Q_OBJECT

public:
    // window: the parent of the message boxes and where the unit's version labels are found.
    // monitorData: where the unit's monitor answers go. files: the file the image came from and
    // the new-installation flag.
    WindowLink(QWidget& window, EditCycle& edits, LinkHost& host, WindowMonitor& monitor, MonitorImage& monitorData,
        ParamFileState& files);
    ~WindowLink() override;

    // Where the ports come from: VORDAX4_PORTS names devices; VORDAX4_ONLY_MAPPED_PORTS=1 hides the
    // system's serial devices (the tests use it so that no test touches a real port).
    void SetUpPorts(int forcedPort, int nextScanPort);
    // Starts the simulated unit in-process and offers it as COM 1; false with a message on failure.
    bool StartDemoUnit(std::string* error = nullptr);
    UnitSim* DemoUnit() const { return demo_.get(); }

    // Controls: the command buttons with LabelCom into commandColumn, the status message labels
    // into messageRow.
    void CreateControls(QWidget* parent, QBoxLayout* commandColumn, QBoxLayout* messageRow);
    // The COM and Ignition menus, inserted before the menu `before` (or appended).
    void CreateMenus(QMenuBar* bar, QAction* before);
    // The Ignition menu, for the commands of other parts.
    QMenu* DeviceMenu() const { return deviceMenu_; }
    // LabelCongruence, the message that the settings differ from the unit's.
    QLabel* CongruenceLabel() const { return slotLabels_[CONGRUENCE_SLOT]; }

    // The link part of one main-timer tick: the connection routine on even ticks, the COM menu when
    // the ports changed, the expiry of messages and the enabling of the commands.
    void Tick(int tickCounter, bool replaying);

    void ReadClick();
    void VerifyClick();
    void ProgramClick();
    void ResetClick();
    // "Programming after change": the changed bytes go to the unit, unless a replay is showing.
    void ProgramChanges();
    void ComMenuClick(int index);
    void BuildComMenu();
    // The bootloader tool's message: port and code.
    void BootloaderMessage(int port, uint32_t code);

    TransferEngine& Engine() { return *link_; }
    ConnectionManager& Manager() { return manager_; }
    StatusSlots& Status() { return status_; }
    const SignalCloseGuard& SignalGuard() const { return *signalGuard_; }
    const std::vector<ComMenuItem>& ComMenuItems() const { return comItems_; }
    // A live unit feeds the monitor display once it has sent monitor data.
    bool LiveUnit() const { return manager_.versionState != VERSION_NOT_CONNECTED; }
    // What a saved parameter file records about the connected unit: its port and version labels.
    IgnUnitInfo UnitFileInfo() const;

    // Tests answer the manager's message boxes through this.
    std::function<void(const std::string& text, const std::string& caption, MessageKind kind)> messageBox;

    // ConnectionHost
    void ShowProgress(bool visible, uint32_t colour, int percent) override;
    void ShowMessageBox(const std::string& text, const std::string& caption, MessageKind kind) override;
    void RefreshPages() override;
    void TakePendingEdit() override;
    void UndoSnapshot() override;
    void SaveSettings() override;
    void SetLabelComText(const std::string& text) override;
    void SetUnitPanelText(const std::string& text) override;
    void RefreshMonitorDisplay() override;
    void RebuildCaption() override;
    void FeedRecorder(const uint8_t* monitorBytes) override;
    void ForgetFileName() override;
    bool NewInstallation() const override;
    void ClearNewInstallation() override;
    void CommandEnded(CommandKind kind, bool ok, const ParamImage* unit) override;

    // StatusLabels
    bool HasControl(int slot) const override;
    bool IsShown(int slot) const override;
    void ShowLabel(int slot, const std::string& text, uint32_t fontColour, uint32_t backColour) override;
    void HideLabel(int slot) override;

private:
    static constexpr size_t CONGRUENCE_SLOT = 4;

    QLabel* SlotLabel(int slot) const;
    // While a recording replays the screen holds the recording's settings: reading into them would
    // be lost at Stop and programming them would put the log into the unit. Tells the user so.
    bool RefusedWhileReplaying();
    // Tells the user why the window waits for the Program or how it ended, on the window and on stderr.
    void NotifySignalEnd(const char* text);
    void UpdateCommandEnabling(bool replaying);

    QWidget& window_;
    EditCycle& edits_;
    LinkHost& host_;
    WindowMonitor& monitor_;
    MonitorImage& monitorData_;
    ParamFileState& files_;
    std::unique_ptr<TransferEngine> link_;
    StatusSlots status_ { this };
    ConnectionManager manager_;
    std::unique_ptr<UnitSim> demo_;
    SignalCloseGuard* signalGuard_ = nullptr;

    QLabel* labelCom_ = nullptr;
    std::array<QLabel*, 5> slotLabels_ {};
    std::array<uint32_t, 5> slotFont_ {}, slotBack_ {};
    BarGauge* gauge_ = nullptr;
    std::vector<QWidget*> commandControls_;
    std::vector<QAction*> commandActions_;
    QMenu* comMenu_ = nullptr;
    QMenu* deviceMenu_ = nullptr;
    std::array<QAction*, ComMenuModel::ITEMS> comActions_ {};
    std::vector<ComMenuItem> comItems_;
};
