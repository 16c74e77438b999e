#pragma once

#include "app/ReplayGuard.h"
#include "model/MonitorImage.h"
#include "monitor/MonitorDisplay.h"
#include "monitor/MonitorPlayer.h"
#include "monitor/MonitorRequest.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QBoxLayout;
class QMenu;
class QWidget;
class EditCycle;
class IgnlogFile;
class LogViewer;
class MonitorHost;
class MonitorImage;
class MonitorPanel;
class PlayerPanel;
struct MapLiveValues;

// The monitor side of the main window: the live monitor panel and what it shows, the monitor
// player with its panel and menu item, the recording of the session, and the operating point the
// map editors mark.
class WindowMonitor : public QObject {
public:
    using MessageBox = std::function<void(const std::string&)>;

    // window: the parent of the dialogs. monitor: the monitor data the display shows, which a
    // replayed recording writes. message shows the player's messages.
    WindowMonitor(QWidget& window, EditCycle& edits, MonitorHost& host, MonitorImage& monitor, MessageBox message);

    // The monitor panel above the player panel (which starts hidden), in a column of fixed width,
    // so that neither a page nor a text moves it.
    QWidget* CreateColumn(QWidget* parent);
    // MenuMonitorPlayer (Ctrl+M) in the Tools menu shows and hides the player panel.
    void CreateMenuItem(QMenu* tools);
    void TogglePlayer();
    // MenuLogViewer and the player panel's button: the recording being replayed (or one the user
    // picks) as plots.
    void ShowLogViewer();
    void ShowPlayer(bool visible);
    // Shows the player and plays the recording at path; a recording being made is not broken off.
    void OpenRecording(const QString& path);
    bool PlayerShown() const;

    // "Show on maps" of the player panel and the log viewer: the map editors mark where the engine
    // of the recording at path ran; an empty path clears the marks. A recording that cannot be
    // read is refused with its message and clears them too.
    void ShowOnMaps(const std::string& path);
    bool MapsShowRecording() const { return hitsRecording_ != nullptr; }

    // Shows the monitor data (live, replayed or "---") and recomputes the operating point.
    void Refresh();
    // After a language switch: the panels and the log viewer in the new language.
    void Retranslate();
    // The monitor part of a main-timer tick: the next playback step, the player's display, and a
    // last refresh when the live source has gone.
    void Tick();
    // What the map editors follow: the operating point with the image's base advance and limiters.
    MapLiveValues EditorValues() const;
    // The sensor voltage, while a unit or a replayed recording feeds the monitor.
    std::optional<int> SensorMillivolts() const;

    // "REPLAY <file> - " while a recording plays or is paused, so the title says whose settings show.
    QString ReplayCaption() const;
    // The user's configuration while a replay shows the recording's; nullptr otherwise.
    const ParamImage* UserImageAside() const { return replay_.UserImage(); }

    // The monitor data shown: while a recording replays only its data, never the live unit's.
    const MonitorImage& ShownData() const { return player_.replaying() ? replayed_ : monitor_; }

    MonitorPlayer& Player() { return player_; }
    MonitorRequest& Request() { return request_; }
    const MonitorView& View() const { return view_; }
    bool LiveSource() const { return liveSource_; }

    // Asks for a monitor log file name; tests replace it.
    std::function<QString(bool forSaving)> chooseLogFile;

private:
    void CreatePanels(QWidget* parent, QBoxLayout* column);
    MonitorPlayer::Hooks PlayerHooks();
    QString ChooseLogFile(bool forSaving);
    RecordingInfo CurrentRecordingInfo() const;
    void Replay(const uint8_t* monitorBytes);
    void ReplayStarted();
    void ReplayEnded();
    void ShowReplayBanner();
    void UpdateLiveSource();
    // The pages show or hide controls by the pick-up 2 signal; a change of it recomputes them.
    void FollowPickup2Signal();

    QWidget& window_;
    EditCycle& edits_;
    MonitorHost& host_;
    MonitorImage& monitor_;
    MessageBox message_;
    ReplayGuard replay_;
    MonitorImage replayed_;
    MonitorPlayer player_;
    MonitorRequest request_;
    MonitorView view_;
    bool liveSource_ = false;
    bool pickup2Running_ = false;
    QString lastLogFolder_;
    MonitorPanel* monitorPanel_ = nullptr;
    PlayerPanel* playerPanel_ = nullptr;
    QAction* playerItem_ = nullptr;
    LogViewer* logViewer_ = nullptr;
    std::shared_ptr<const IgnlogFile> hitsRecording_;
};
