#pragma once

#include "monitor/LogPlot.h"
#include "monitor/MonitorPlayer.h"

#include <QMainWindow>

#include <functional>
#include <string>

class LogPlotWidget;
class QAction;

// The log viewer: a recording as plots over time, with a cursor bound to the player. Opening a
// recording starts the player on it, paused, so that moving the cursor replays the record at that
// time into the monitor panel and the map editors, as the player's scroll bar does.
class LogViewer : public QMainWindow {
public:
    // playerMoved runs after the viewer moved or started the player (the window refreshes);
    // message shows a LangString to the user.
    LogViewer(MonitorPlayer& player, std::function<void()> playerMoved,
        std::function<void(const std::string&)> message, QWidget* parent = nullptr);

    // Opens a recording; a damaged one is refused with the player's message and leaves the
    // viewer empty.
    bool Open(const QString& path);
    // Shows the player's position as the cursor while it replays the viewer's recording.
    void FollowPlayer();
    bool ExportPng(const QString& path) const;
    // Menus and title in the current language.
    void Retranslate();
    // View > "Show on maps": on marks where this recording's engine ran on the maps of the window.
    std::function<void(bool on)> showOnMaps;
    // The menu item as the window shows a recording, whichever toggle asked for it.
    void SetShowOnMapsChecked(bool on);
    // The recording shown, empty while none is.
    const std::string& path() const { return path_; }

    const LogPlot& plot() const { return plot_; }
    // Asks for the recording File > Open shows; without it the viewer asks with its own dialog.
    std::function<QString()> chooseRecording;
    LogPlotWidget* plotWidget() const { return plotWidget_; }

private:
    void CreateMenus();
    void ShowTitle();
    void ChooseAndOpen();
    void ChooseAndExport();
    void CursorMoved(int sample);
    bool PlayerOnRecording() const;

    MonitorPlayer& player_;
    std::function<void()> playerMoved_;
    std::function<void(const std::string&)> message_;
    LogPlot plot_;
    std::string path_;
    // Where the viewer's own dialog starts: the folder of the recording opened last.
    QString lastFolder_;
    LogPlotWidget* plotWidget_;
    QAction* showOnMapsItem_ = nullptr;
    bool mapsShown_ = false;
};
