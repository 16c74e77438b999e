#include "app/WindowLink.h"

#include "app/EditCycle.h"
#include "app/LinkHost.h"
#include "app/ModalDialogs.h"
#include "app/SignalCloseGuard.h"
#include "app/WindowMonitor.h"
#include "base/Colours.h"
#include "files/ParamFileState.h"
#include "lang/LangString.h"
#include "link/PortMap.h"
#include "link/ProtocolTable.h"
#include "monitor/ui/BarGauge.h"

#include "unitsim/UnitSim.h"

#include <QAction>
#include <QActionGroup>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include <iostream>

namespace {

constexpr const char* RESET_CAPTION = "###&Reset##&Reset##&Reset";
constexpr const char* REPLAY_REFUSAL
    = "###A recording is being replayed: the settings on the screen are the recording's. Stop the player "
      "before reading or programming the unit.##Eine Aufzeichnung wird wiedergegeben: Die Einstellungen auf dem "
      "Bildschirm sind die der Aufzeichnung. Beenden Sie die Wiedergabe, bevor Sie die Zündung lesen oder "
      "programmieren.##Přehrává se záznam: nastavení na obrazovce jsou ze záznamu. Před čtením nebo "
      "programováním zapalování přehrávání zastavte.";
constexpr const char* ATTENTION_CAPTION = "###Attention##Achtung##Upozornění";
constexpr int DEMO_PORT = 1;
constexpr const char* DEMO_LINE = "demo";

// The names of the status message labels by slot; slot 3 has no control.
constexpr const char* SLOT_LABEL_NAMES[5] = {nullptr, "LabelConnection", "LabelResult", nullptr, "LabelCongruence"};
// The share of the message row each status label holds, hidden or shown, so that a message
// appearing or changing never moves the others.
constexpr int SLOT_STRETCH[5] = { 0, 5, 4, 0, 7 };
constexpr int PROGRESS_WIDTH = 150;
// Black on yellow, never expiring, above every message of the link: the window waits on purpose.
constexpr uint32_t SIGNAL_FONT = 0x000000;
constexpr uint32_t SIGNAL_BACK = 0x00FFFF;
constexpr int SIGNAL_PRIORITY = 1000;

QString ColourCss(const char* property, uint32_t colour)
{
    return QString("%1: %2;").arg(property, ToQColor(colour).name());
}

bool EnvironmentFlag(const char* name)
{
    const QByteArray value = qgetenv(name);
    return !value.isEmpty() && value != "0";
}

} // namespace

WindowLink::WindowLink(QWidget& window, EditCycle& edits, LinkHost& host, WindowMonitor& monitor,
    MonitorImage& monitorData, ParamFileState& files)
    : window_(window)
    , edits_(edits)
    , host_(host)
    , monitor_(monitor)
    , monitorData_(monitorData)
    , files_(files)
    , link_(std::make_unique<TransferEngine>())
    , manager_(*link_, edits.Image(), monitorData, monitor.Request(), status_, *this)
{
    UnitSearch& search = link_->Search();
    search.searchTable.FillFamilyRows();
    search.requiredUnitType = PROGRAM_KEY;
    search.extraTailByte = 0;
    search.SetStatusSlots(&status_);
    signalGuard_ = new SignalCloseGuard(
        manager_, [this](const char* text) { NotifySignalEnd(text); },
        [this](int status) {
            // The program ends with this status, not with the 0 of its last window closing.
            QGuiApplication::setQuitOnLastWindowClosed(false);
            CloseModalDialogs();
            window_.close();
            QCoreApplication::exit(status);
        },
        this);
}

WindowLink::~WindowLink()
{
    // The link's threads go before the simulated unit closes its line under them.
    link_.reset();
    demo_.reset();
}

void WindowLink::SetUpPorts(int forcedPort, int nextScanPort)
{
    if (!demo_) {
        PortMap map = PortMap::FromEnvironment();
        map.onlyMapped = EnvironmentFlag("VORDAX4_ONLY_MAPPED_PORTS");
        link_->Ports().SetPortMap(map);
        link_->Search().forcedPort = UnitSearch::SanitiseForcedPort(forcedPort);
    }
    link_->Search().nextScanPort = UnitSearch::SanitiseNextScanPort(nextScanPort);
}

bool WindowLink::StartDemoUnit(std::string* error)
{
    UnitSimOptions options;
    options.paced = true; // bytes take their wire time, as on a real line
    auto unit = std::make_unique<UnitSim>(options);
    // An in-process line, so the demo needs no pseudo-terminal and runs on every system.
    if (!unit->StartInProcess(DEMO_LINE, error))
        return false;
    PortMap map;
    map.onlyMapped = true;
    map.AddChannel(DEMO_PORT, unit->Channel());
    link_->Ports().SetPortMap(map);
    link_->Search().forcedPort = 0;
    demo_ = std::move(unit);
    return true;
}

void WindowLink::CreateControls(QWidget* parent, QBoxLayout* commandColumn, QBoxLayout* messageRow)
{
    auto* commands = new QHBoxLayout;
    const auto button = [&](const char* name, void (WindowLink::*handler)()) {
        auto* b = new QPushButton(parent);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, handler);
        commands->addWidget(b);
        commandControls_.push_back(b);
    };
    button("ButtonRead", &WindowLink::ReadClick);
    button("ButtonVerify", &WindowLink::VerifyClick);
    button("ButtonProgram", &WindowLink::ProgramClick);
    labelCom_ = new QLabel(parent);
    labelCom_->setObjectName("LabelCom");
    commands->addWidget(labelCom_);
    commands->addStretch(1);
    commandColumn->addLayout(commands);

    QSizePolicy keepsItsPlace(QSizePolicy::Ignored, QSizePolicy::Fixed);
    keepsItsPlace.setRetainSizeWhenHidden(true);
    for (int slot = 1; slot < 5; ++slot) {
        if (!SLOT_LABEL_NAMES[slot])
            continue;
        auto* label = new QLabel(parent);
        label->setObjectName(SLOT_LABEL_NAMES[slot]);
        label->setAutoFillBackground(true);
        label->setMargin(2);
        label->setSizePolicy(keepsItsPlace);
        label->hide();
        messageRow->addWidget(label, SLOT_STRETCH[slot]);
        slotLabels_[static_cast<size_t>(slot)] = label;
        if (slot == 2) {
            gauge_ = new BarGauge(parent);
            gauge_->setObjectName("CGaugeProgram");
            gauge_->setMaximum(100);
            gauge_->setTextVisible(true);
            gauge_->setFixedWidth(PROGRESS_WIDTH);
            QSizePolicy fixed(QSizePolicy::Fixed, QSizePolicy::Fixed);
            fixed.setRetainSizeWhenHidden(true);
            gauge_->setSizePolicy(fixed);
            gauge_->hide();
            messageRow->addWidget(gauge_);
        }
    }
}

void WindowLink::CreateMenus(QMenuBar* bar, QAction* before)
{
    const auto menu = [&](const char* name) {
        auto* m = new QMenu(bar);
        m->menuAction()->setObjectName(name);
        bar->insertMenu(before, m);
        return m;
    };
    comMenu_ = menu("MenuCom");
    // A port that cannot be opened names the reason in its tool tip.
    comMenu_->setToolTipsVisible(true);
    auto* group = new QActionGroup(this);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (int i = 0; i < ComMenuModel::ITEMS; ++i) {
        QAction* a = comMenu_->addAction(QString("COM%1").arg(i + 1), this, [this, i] { ComMenuClick(i); });
        a->setVisible(false);
        comActions_[static_cast<size_t>(i)] = a;
    }

    deviceMenu_ = menu("MenuDevice");
    const auto item = [&](const char* name, QKeySequence key, void (WindowLink::*handler)()) {
        QAction* a = deviceMenu_->addAction(QString(), key, this, handler);
        a->setObjectName(name);
        commandActions_.push_back(a);
        return a;
    };
    item("MenuRead", QKeySequence(Qt::Key_F7), &WindowLink::ReadClick);
    item("MenuVerify", QKeySequence(Qt::Key_F8), &WindowLink::VerifyClick);
    item("MenuProgram", QKeySequence(Qt::Key_F9), &WindowLink::ProgramClick);
    item("MenuReset", QKeySequence(), &WindowLink::ResetClick)->setText(QString::fromUtf8(LangText(RESET_CAPTION)));
    UpdateCommandEnabling(false);
}

void WindowLink::Tick(int tickCounter, bool replaying)
{
    if ((tickCounter & 1) == 0) {
        manager_.Pass();
        signalGuard_->Check();
    }
    if (link_->Ports().portsChanged)
        BuildComMenu();
    status_.ExpireStatus();
    UpdateCommandEnabling(replaying);
}

void WindowLink::UpdateCommandEnabling(bool replaying)
{
    const bool enabled = manager_.CommandsEnabled(replaying);
    for (QWidget* w : commandControls_)
        w->setEnabled(enabled);
    for (QAction* a : commandActions_)
        a->setEnabled(enabled);
}

void WindowLink::ReadClick()
{
    if (!RefusedWhileReplaying())
        manager_.ReadCommand();
}

void WindowLink::VerifyClick()
{
    edits_.ApplyPage();
    manager_.VerifyCommand();
}

void WindowLink::ProgramClick()
{
    if (RefusedWhileReplaying())
        return;
    if (!link_->Search().connectedPort.load(std::memory_order_acquire))
        return;
    if (!NewInstallation())
        edits_.ApplyPage();
    manager_.ProgramCommand();
}

void WindowLink::ResetClick() { manager_.ResetCommand(); }

void WindowLink::ProgramChanges()
{
    if (!RefusedWhileReplaying())
        manager_.RequestProgramChanged();
}

bool WindowLink::RefusedWhileReplaying()
{
    if (!monitor_.Player().replaying())
        return false;
    ShowMessageBox(LangText(REPLAY_REFUSAL), LangText(ATTENTION_CAPTION), MessageWarning);
    return true;
}

void WindowLink::BuildComMenu()
{
    PortTable& ports = link_->Ports();
    const UnitSearch& search = link_->Search();
    ports.portsChanged = 0;
    std::vector<bool> present(PORT_COUNT, false);
    std::vector<ComPortNote> notes(PORT_COUNT);
    for (int port = 1; port < PORT_COUNT; ++port) {
        present[static_cast<size_t>(port)] = ports.Port(port).present;
        notes[static_cast<size_t>(port)] = { ports.PortLabel(port), ports.OpenFailure(port).Reason() };
    }
    comItems_ = ComMenuModel::Build(
        search.forcedPort, search.connectedPort.load(std::memory_order_acquire), present, notes);
    if (!comMenu_)
        return;
    for (size_t i = 0; i < comActions_.size(); ++i) {
        QAction* a = comActions_[i];
        const ComMenuItem item = i < comItems_.size() ? comItems_[i] : ComMenuItem {};
        a->setSeparator(item.separator);
        // Some styles draw a separator's text as a heading; the model's "-" is only its mark.
        a->setText(item.separator ? QString()
                                  : QString::fromUtf8(i < 2 ? LangText(item.caption.c_str()) : item.caption.c_str()));
        a->setVisible(item.visible);
        a->setEnabled(item.enabled);
        a->setToolTip(QString::fromUtf8(LangText(item.toolTip).c_str()));
        a->setCheckable(item.checked || item.radio || i < 2);
        a->setChecked(item.checked);
    }
}

void WindowLink::ComMenuClick(int index)
{
    int forcedPort = link_->Search().forcedPort;
    if (ComMenuModel::Click(comItems_, index, forcedPort)) {
        manager_.ChoosePort(forcedPort, index >= 3);
        host_.PortSelectionChanged(forcedPort);
    }
    BuildComMenu();
}

void WindowLink::BootloaderMessage(int port, uint32_t code)
{
    switch (link_->BootloaderHandOver(port, code)) {
    case TransferEngine::HANDOVER_RESET_REQUESTED:
        manager_.RequestBootloaderReset();
        break;
    case TransferEngine::HANDOVER_RELEASED:
    case TransferEngine::HANDOVER_RETURNED:
        host_.PortHandedOver();
        break;
    case TransferEngine::HANDOVER_NONE:
        break;
    }
}

void WindowLink::ShowProgress(bool visible, uint32_t colour, int percent)
{
    if (!gauge_)
        return;
    gauge_->setValue(percent);
    gauge_->setColour(ToQColor(colour));
    gauge_->setVisible(visible && IsShown(2));
}

void WindowLink::ShowMessageBox(const std::string& text, const std::string& caption, MessageKind kind)
{
    if (messageBox) {
        messageBox(text, caption, kind);
        return;
    }
    const QMessageBox::Icon icon = kind == MessageError ? QMessageBox::Critical
        : kind == MessageWarning                        ? QMessageBox::Warning
                                                        : QMessageBox::Information;
    // Modal for the user but not for the timer: the link goes on polling while the box is open, and
    // the connection routine is never entered again from inside itself.
    auto* box = new QMessageBox(icon, QString::fromUtf8(caption.c_str()), QString::fromUtf8(text.c_str()),
        QMessageBox::Ok, &window_);
    box->setWindowFlags(box->windowFlags() | Qt::WindowStaysOnTopHint);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}

void WindowLink::RefreshPages() { edits_.ImageReplaced(); }

void WindowLink::TakePendingEdit() { edits_.CommitPendingEdit(); }

void WindowLink::UndoSnapshot() { edits_.TakeUndoSnapshot(); }

void WindowLink::SaveSettings() { edits_.SaveSettings(); }

void WindowLink::SetLabelComText(const std::string& text)
{
    if (labelCom_)
        labelCom_->setText(QString::fromStdString(text));
}

void WindowLink::SetUnitPanelText(const std::string& text) { host_.SetUnitPanelText(text); }

void WindowLink::RefreshMonitorDisplay() { monitor_.Refresh(); }

void WindowLink::RebuildCaption() { edits_.UpdateCaption(); }

void WindowLink::FeedRecorder(const uint8_t*) { monitor_.Player().LogMonitor(monitorData_); }

void WindowLink::ForgetFileName()
{
    files_.currentFile.clear();
    edits_.UpdateCaption();
}

bool WindowLink::NewInstallation() const { return files_.newInstal != 0; }

void WindowLink::ClearNewInstallation() { files_.newInstal = 0; }

void WindowLink::CommandEnded(CommandKind kind, bool ok, const ParamImage* unit)
{
    if (kind == CommandProgram)
        signalGuard_->ProgramEnded(ok);
    host_.CommandEnded(kind, ok, unit);
}

void WindowLink::NotifySignalEnd(const char* text)
{
    status_.ShowStatus(1, text, -1, SIGNAL_FONT, SIGNAL_BACK, SIGNAL_PRIORITY);
    std::cerr << "vordax4: " << LangText(text) << std::endl;
}

IgnUnitInfo WindowLink::UnitFileInfo() const
{
    const auto label = [this](const char* name) {
        const QLabel* l = window_.findChild<QLabel*>(name);
        return l ? l->text() : QString();
    };
    IgnUnitInfo unit;
    unit.connectedPort = link_->Search().connectedPort.load();
    unit.firmwareVersion = label("LabelVerze1");
    unit.firmwareDate = label("LabelVerze2");
    unit.firmwareTime = label("LabelVerze3");
    return unit;
}

QLabel* WindowLink::SlotLabel(int slot) const
{
    return slot >= 1 && slot <= 4 ? slotLabels_[static_cast<size_t>(slot)] : nullptr;
}

bool WindowLink::HasControl(int slot) const { return SlotLabel(slot) != nullptr; }

bool WindowLink::IsShown(int slot) const
{
    const QLabel* label = SlotLabel(slot);
    return label && !label->isHidden();
}

void WindowLink::ShowLabel(int slot, const std::string& text, uint32_t fontColour, uint32_t backColour)
{
    QLabel* label = SlotLabel(slot);
    if (!label)
        return;
    const auto s = static_cast<size_t>(slot);
    if (fontColour != COLOUR_UNCHANGED)
        slotFont_[s] = fontColour;
    if (backColour != COLOUR_UNCHANGED)
        slotBack_[s] = backColour;
    // A new style sheet polishes the label again and a new text lays out the status row: the
    // monitor exchanges repeat the same message, so only a change is handed on.
    const QString style
        = QString("QLabel { %1 %2 }").arg(ColourCss("color", slotFont_[s]), ColourCss("background-color", slotBack_[s]));
    if (label->styleSheet() != style)
        label->setStyleSheet(style);
    const QString shown = QString::fromUtf8(text.c_str());
    if (label->text() != shown) {
        label->setText(shown);
        // A message longer than its share of the row is read in full as the tool tip.
        label->setToolTip(shown);
    }
    label->show();
    host_.ResultShown(slot, backColour);
}

void WindowLink::HideLabel(int slot)
{
    if (QLabel* label = SlotLabel(slot))
        label->hide();
    if (slot == 2 && gauge_)
        gauge_->hide();
}
