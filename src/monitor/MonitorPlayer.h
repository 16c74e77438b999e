#pragma once

#include "model/MonitorImage.h"
#include "model/ParamImage.h"
#include "monitor/IgnlogFile.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

// The page and the maps shown, as logged in type-5 records.
struct PageRecord {
    uint8_t page = 0;
    std::array<uint8_t, ignlog::MAX_MAPS> editorIds{};
    std::array<uint8_t, ignlog::MAX_MAPS> maps{};
    bool operator==(const PageRecord&) const = default;
};

// Facts about the machine written into the header of a new recording.
struct RecordingInfo {
    int osMajor = 0, osMinor = 0, osBuild = 0, osPlatform = 0;
    struct Monitor {
        int left, width, top, height;
    };
    std::vector<Monitor> monitors; // at most four are written
    int layoutValue = 887;
    std::string compileDate;
};

// What the player shows: button enabling, scroll bar and labels.
struct PlayerDisplay {
    bool recordEnabled = true, playEnabled = true, pauseEnabled = false, stopEnabled = false;
    bool scrollVisible = false;
    int scrollMax = 0, scrollPos = 0;
    bool labelsVisible = false, deviceVisible = false;
    std::string posText, fileText;
};

// Records the monitor stream, image changes and page changes into a .ignlog file, and replays such
// a file with its recorded timing through the same hooks a live unit feeds.
class MonitorPlayer {
public:
    enum State { Idle = 0, Recording = 1, Playing = 2, RecordingPaused = 5, PlayingPaused = 6 };

    struct Hooks {
        std::function<int64_t()> clockMs;     // processor clock in ms
        std::function<int64_t()> wallSeconds; // seconds since 1970
        std::function<int()> connectedPort;
        std::function<std::string()> unitPanelText;
        std::function<ParamImage()> image;
        std::function<const ParamImage*()> unitMirror; // nullptr while the mirror is not valid
        std::function<PageRecord()> pages;
        std::function<void(const ParamImage&)> replayImage;
        std::function<void(const ParamImage&)> replayMirror;
        std::function<void(const uint8_t* monitorBytes)> replayMonitor; // bytes 0..99
        std::function<void(const PageRecord&)> replayPages;
        std::function<void(const std::string& text, const std::string& caption)> message;
        // A replay begins (before its snapshot is replayed) and ends (after the player is idle
        // again): its owner keeps aside what the replay overwrites and puts it back.
        std::function<void()> replayStarted;
        std::function<void()> replayEnded;
    };

    explicit MonitorPlayer(Hooks hooks);
    ~MonitorPlayer();

    State state() const { return state_; }
    // A recording being replayed counts as a live source for the monitor display.
    bool replaying() const { return (state_ & 3) == 2; }

    // The four speed buttons; the window asks for the file names.
    bool StartRecording(const std::string& path, const RecordingInfo& info);
    void ResumeRecording();
    void Pause();
    bool Stop();
    bool StartPlaying(const std::string& path);
    void ResumePlaying();

    void PlaybackTick();
    void SetPosition(int pos);

    // Writers; each does nothing unless recording.
    void LogUnit();
    void LogImage(const ParamImage& image);
    void LogMirror();
    void LogMonitor(const uint8_t* monitorBytes); // bytes 0..99 of the monitor image
    // What the window and the CLI record: the image as the display reads it, so a replay matches.
    void LogMonitor(const MonitorImage& monitor) { LogMonitor(monitor.bytes().data()); }
    void LogPages(const PageRecord& pages);

    PlayerDisplay Display() const;
    // The LangString shown when a recording fails its checks; the log viewer refuses with it too.
    static const char* DamagedText();
    const IgnlogFile& file() const { return log_; }
    int position() const { return pos_; }
    // The recording being replayed or written.
    const std::string& fileName() const { return fileName_; }
    int length() const { return len_; }
    std::string replayedTime() const { return replayedTime_; }

private:
    uint8_t* BeginRecord(int type);
    void AddLogRecord(int length);
    bool RoomFor(int length);
    void ReplayLogRecord(int index);
    void FreeBuffers();
    // Writes the recording so far over the file; a recording that is cut off (full disk, a crash)
    // leaves the file as of the last save that succeeded, readable.
    bool SaveRecording();
    void Report(const char* langText, const std::string& caption = {});
    int64_t now() const { return hooks_.clockMs(); }

    Hooks hooks_;
    State state_ = Idle;
    IgnlogFile log_;
    int64_t lastSaveMs_ = 0;
    std::string fileName_;
    int writePos_ = 0;
    int len_ = 0;
    int pos_ = 0;
    int64_t recordingStart_ = 0;
    int64_t stepClock_ = 0;
    int64_t pauseTime_ = 0;
    bool havePages_ = false;
    PageRecord lastPages_;
    std::string replayedTime_;
};
