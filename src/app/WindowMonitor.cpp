#include "app/WindowMonitor.h"

#include "app/EditCycle.h"
#include "app/MonitorHost.h"
#include "lang/LangString.h"
#include "lang/RuntimeTexts.h"
#include "link/ConnectionManager.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/MapEditor.h"
#include "model/MonitorImage.h"
#include "monitor/IgnlogFile.h"
#include "monitor/ui/LogFileDialog.h"
#include "monitor/ui/LogViewer.h"
#include "monitor/ui/MonitorPanel.h"
#include "monitor/ui/PlayerPanel.h"

#include <QAction>
#include <QBoxLayout>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include <algorithm>
#include <ctime>

namespace {

constexpr const char* REPLAY_WORD = "###REPLAY##WIEDERGABE##PŘEHRÁVÁNÍ";
constexpr const char* REPLAY_PLAYING
    = "###REPLAY - recorded values##WIEDERGABE - aufgezeichnete Werte##PŘEHRÁVÁNÍ - zaznamenané hodnoty";
constexpr const char* REPLAY_PAUSED = "###REPLAY paused - recorded values##WIEDERGABE angehalten - aufgezeichnete "
                                      "Werte##PŘEHRÁVÁNÍ pozastaveno - zaznamenané hodnoty";

} // namespace

WindowMonitor::WindowMonitor(
    QWidget& window, EditCycle& edits, MonitorHost& host, MonitorImage& monitor, MessageBox message)
    : window_(window)
    , edits_(edits)
    , host_(host)
    , monitor_(monitor)
    , message_(std::move(message))
    , replay_(edits, host)
    , player_(PlayerHooks())
{
}

QWidget* WindowMonitor::CreateColumn(QWidget* parent)
{
    auto* column = new QWidget(parent);
    column->setObjectName("MonitorColumn");
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    CreatePanels(column, layout);
    column->setFixedWidth(monitorPanel_->ColumnWidth());
    return column;
}

void WindowMonitor::CreatePanels(QWidget* parent, QBoxLayout* column)
{
    monitorPanel_ = new MonitorPanel(parent);
    column->addWidget(monitorPanel_, 1);
    playerPanel_ = new PlayerPanel(
        player_, [this](bool forSaving) { return ChooseLogFile(forSaving); }, parent);
    playerPanel_->recordingInfo = [this] { return CurrentRecordingInfo(); };
    playerPanel_->openLogViewer = [this] { ShowLogViewer(); };
    playerPanel_->showOnMaps = [this](bool on) { ShowOnMaps(on ? player_.fileName() : std::string()); };
    playerPanel_->hide();
    column->addWidget(playerPanel_);
}

void WindowMonitor::CreateMenuItem(QMenu* tools)
{
    playerItem_ = tools->addAction(QString(), QKeySequence(Qt::CTRL | Qt::Key_M), this, &WindowMonitor::TogglePlayer);
    playerItem_->setObjectName("MenuMonitorPlayer");
    playerItem_->setCheckable(true);
    QAction* viewer = tools->addAction(QString(), this, &WindowMonitor::ShowLogViewer);
    viewer->setObjectName("MenuLogViewer");
}

void WindowMonitor::ShowLogViewer()
{
    if (!logViewer_) {
        logViewer_ = new LogViewer(
            player_, [this] { playerPanel_->UpdateDisplay(); }, message_, playerPanel_->window());
        logViewer_->setWindowFlag(Qt::Window);
        logViewer_->showOnMaps = [this](bool on) { ShowOnMaps(on ? logViewer_->path() : std::string()); };
        logViewer_->SetShowOnMapsChecked(MapsShowRecording());
        // The viewer's Open shares the player's dialog, so both start where the recordings are.
        logViewer_->chooseRecording = [this] { return ChooseLogFile(false); };
    }
    const QString path = player_.replaying() ? QString::fromStdString(player_.fileName()) : ChooseLogFile(false);
    if (!path.isEmpty())
        logViewer_->Open(path);
    logViewer_->show();
    logViewer_->raise();
}

void WindowMonitor::ShowOnMaps(const std::string& path)
{
    hitsRecording_.reset();
    if (!path.empty() && player_.replaying() && player_.fileName() == path) {
        hitsRecording_ = std::make_shared<IgnlogFile>(player_.file());
    } else if (!path.empty()) {
        auto log = std::make_shared<IgnlogFile>();
        const std::string error = log->Load(path);
        if (error.empty())
            hitsRecording_ = std::move(log);
        else
            message_(LangText(error));
    }
    playerPanel_->SetShowOnMapsChecked(MapsShowRecording());
    if (logViewer_)
        logViewer_->SetShowOnMapsChecked(MapsShowRecording());
}

void WindowMonitor::TogglePlayer()
{
    ShowPlayer(playerPanel_->isHidden());
    edits_.SaveSettings();
}

void WindowMonitor::ShowPlayer(bool visible)
{
    playerPanel_->setHidden(!visible);
    if (playerItem_)
        playerItem_->setChecked(visible);
}

void WindowMonitor::OpenRecording(const QString& path)
{
    ShowPlayer(true);
    const MonitorPlayer::State state = player_.state();
    if (state == MonitorPlayer::Recording || state == MonitorPlayer::RecordingPaused) {
        message_(LangText("###A recording is being made; stop it before playing another file.##Eine Aufzeichnung "
                          "läuft; beenden Sie sie, bevor Sie eine andere Datei abspielen.##Probíhá záznam; před "
                          "přehráním jiného souboru jej ukončete."));
        return;
    }
    if (state != MonitorPlayer::Idle)
        player_.Stop();
    lastLogFolder_ = QFileInfo(path).absolutePath();
    player_.StartPlaying(path.toStdString());
    playerPanel_->UpdateDisplay();
}

bool WindowMonitor::PlayerShown() const { return !playerPanel_->isHidden(); }

QString WindowMonitor::ChooseLogFile(bool forSaving)
{
    if (chooseLogFile)
        return chooseLogFile(forSaving);
    return LogFileDialog::Choose(&window_, forSaving, lastLogFolder_);
}

RecordingInfo WindowMonitor::CurrentRecordingInfo() const
{
    RecordingInfo info;
    info.compileDate = host_.CompileDate();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        info.monitors.push_back({ g.left(), g.width(), g.top(), g.height() });
    }
    return info;
}

// The player records from and replays into the same places a live unit feeds.
MonitorPlayer::Hooks WindowMonitor::PlayerHooks()
{
    MonitorPlayer::Hooks h;
    h.clockMs = [] {
        static QElapsedTimer clock = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return clock.elapsed();
    };
    h.wallSeconds = [] { return static_cast<int64_t>(std::time(nullptr)); };
    h.connectedPort = [this] { return host_.ConnectedPort(); };
    h.unitPanelText = [this] { return host_.UnitPanelText(); };
    h.image = [this] { return edits_.Image(); };
    h.unitMirror = [this]() -> const ParamImage* {
        const ConnectionManager& m = host_.Connection();
        return m.unitMirrorValid ? &m.unitMirror : nullptr;
    };
    h.replayMirror = [this](const ParamImage& mirror) {
        ConnectionManager& m = host_.Connection();
        m.unitMirror = mirror;
        m.unitMirrorValid = 1;
        replay_.MirrorReplayed(mirror);
        m.CompareWithUnit();
    };
    h.pages = [this] { return host_.ShownPages(); };
    h.replayImage = [this](const ParamImage& img) {
        edits_.Image() = img;
        edits_.ImageReplaced();
        host_.Connection().CompareWithUnit();
    };
    h.replayMonitor = [this](const uint8_t* bytes) { Replay(bytes); };
    h.replayPages = [this](const PageRecord& p) { host_.ShowPages(p); };
    h.message = [this](const std::string& text, const std::string&) { message_(text); };
    h.replayStarted = [this] { ReplayStarted(); };
    h.replayEnded = [this] { ReplayEnded(); };
    return h;
}

void WindowMonitor::Replay(const uint8_t* monitorBytes)
{
    std::copy_n(monitorBytes, 100, replayed_.bytes().begin());
    UpdateLiveSource();
    liveSource_ = true;
    Refresh();
}

void WindowMonitor::ReplayStarted()
{
    lastLogFolder_ = QFileInfo(QString::fromStdString(player_.fileName())).absolutePath();
    // Until the recording's first monitor data comes, nothing live is shown in its place.
    replayed_.Clear();
    replay_.Begin();
    Refresh();
}

void WindowMonitor::ReplayEnded()
{
    replay_.End();
    UpdateLiveSource();
    Refresh();
}

QString WindowMonitor::ReplayCaption() const
{
    if (!player_.replaying())
        return {};
    return QString("%1 %2 - ").arg(QString::fromUtf8(LangText(REPLAY_WORD)),
        QFileInfo(QString::fromStdString(player_.fileName())).fileName());
}

void WindowMonitor::ShowReplayBanner()
{
    const char* text = !player_.replaying()                     ? nullptr
        : player_.state() == MonitorPlayer::PlayingPaused ? REPLAY_PAUSED
                                                                : REPLAY_PLAYING;
    monitorPanel_->ShowBanner(text ? QString::fromUtf8(LangText(text)) : QString());
}

void WindowMonitor::UpdateLiveSource() { liveSource_ = player_.replaying() || host_.UnitFeedsMonitor(); }

void WindowMonitor::Refresh()
{
    MonitorImage& shown = player_.replaying() ? replayed_ : monitor_;
    MonitorSources sources { shown, edits_.Image(), liveSource_, [this](int n) { return host_.Texts().Text(n); },
        {}, {}, {} };
    // The unit's own texts, read from its reference block, are shown while it is connected and
    // no recording shows in its place.
    if (host_.ConnectedPort() != 0 && !player_.replaying()) {
        const UnitInfo& unit = host_.Connection().unitInfo;
        sources.unitName = unit.name;
        sources.unitDate = unit.firmwareDate;
        sources.unitTime = unit.firmwareTime;
    }
    view_ = RefreshMonitorDisplay(sources);
    monitorPanel_->Apply(view_);
    ShowReplayBanner();
    FollowPickup2Signal();
}

void WindowMonitor::FollowPickup2Signal()
{
    const bool running = liveSource_ && (ShownData().Monb(MON_PICKUPS) >> PICKUP2_RUNNING & 1) != 0;
    if (running == pickup2Running_)
        return;
    pickup2Running_ = running;
    host_.UpdatePageVisibility();
}

void WindowMonitor::Retranslate()
{
    playerPanel_->Retranslate();
    if (logViewer_)
        logViewer_->Retranslate();
    Refresh();
}

void WindowMonitor::Tick()
{
    if (player_.state() == MonitorPlayer::Playing)
        player_.PlaybackTick();
    // A map chosen in an editor goes into the recording; an unchanged record is not written again.
    player_.LogPages(host_.ShownPages());
    if (player_.state() != MonitorPlayer::Idle)
        playerPanel_->UpdateDisplay();
    ShowReplayBanner();
    if (logViewer_)
        logViewer_->FollowPlayer();
    const bool wasLive = liveSource_;
    UpdateLiveSource();
    if (wasLive && !liveSource_)
        Refresh();
}

MapLiveValues WindowMonitor::EditorValues() const
{
    const OperatingPoint& p = view_.point;
    const ParamImage& image = edits_.Image();
    MapLiveValues live;
    live.engineRpm = p.rpm;
    live.throttle = p.loadTenths >= 0 ? p.loadTenths / 10 : -1;
    live.pressure = p.loadKpa >= 0 ? p.loadKpa : 0;
    live.manifoldLoad = p.sensorKind == 2;
    live.baseAdvance = image.Adrb(BASE_ADV);
    live.limiterRpm = image.Adrb(LIMITER) * 100;
    live.startLimiterRpm = image.Adrb(START_LIM) * 100;
    live.recording = hitsRecording_;
    return live;
}

std::optional<int> WindowMonitor::SensorMillivolts() const
{
    if (!liveSource_)
        return std::nullopt;
    return ShownData().Monw(MON_SENSOR_MV);
}
