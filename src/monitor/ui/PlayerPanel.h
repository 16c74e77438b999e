#pragma once

#include "monitor/MonitorPlayer.h"

#include <QGroupBox>

#include <functional>

class QLabel;
class QScrollBar;
class QToolButton;

// GroupBoxPlayer: the four speed buttons (record, play, pause, stop), the position scroll bar and
// the labels of the monitor player.
class PlayerPanel : public QGroupBox {
    Q_OBJECT

public:
    // Asks for a file name: save (recording) or open (playing); an empty result cancels.
    using ChooseFile = std::function<QString(bool forSaving)>;

    PlayerPanel(MonitorPlayer& player, ChooseFile chooseFile, QWidget* parent);

    // Shows the player's state; called after every change and on every tick while it runs.
    void UpdateDisplay();
    // The captions in the current language.
    void Retranslate();
    // Extra facts for a new recording (monitors, operating system, build).
    std::function<RecordingInfo()> recordingInfo;
    // The log viewer button.
    std::function<void()> openLogViewer;
    // The "Show on maps" toggle: on marks where the replayed recording's engine ran on the maps.
    std::function<void(bool on)> showOnMaps;
    // The toggle as the window shows the recording, whichever toggle asked for it.
    void SetShowOnMapsChecked(bool on);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SpeedButtonPlayClick(int button);

    MonitorPlayer& player_;
    ChooseFile chooseFile_;
    QToolButton* buttons_[4];
    QToolButton* viewer_;
    QToolButton* showOnMaps_;
    QScrollBar* scrollBarPlay_;
    QLabel* labelPlayFile_;
    QLabel* labelPlayPos_;
    QLabel* labelPlayDevice_;
    bool positioning_ = false;
};
