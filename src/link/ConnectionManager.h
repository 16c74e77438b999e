#pragma once

#include "link/ConnectionHost.h"
#include "link/UnitInfo.h"
#include "model/ChangedMap.h"
#include "model/ParamImage.h"

#include <array>
#include <cstdint>
#include <string>

class TransferEngine;
class MonitorImage;
class MonitorRequest;
class StatusSlots;

// Turns the link into the program's commands. The window calls Pass on every main-timer tick whose
// count is even; it reads the unit's reference block and configuration after connecting, polls the
// monitor data while idle, and carries out Read, Verify, Program and Reset through transfer jobs.
class ConnectionManager {
public:
    // linkStep values with a name of their own; the configuration reads use 48..63.
    enum Step : int32_t {
        StepOffline = 0,
        StepIdle = 1,
        StepMonitor = 2,
        StepReference = 32,
        StepReferenceAgain = 33,
        StepConfigFirst = 48,
        StepConfigMonitorFirst = 52,
        StepConfigSecond = 56,
        StepConfigMonitorSecond = 60,
        StepRead = 64,
        StepReadAgain = 65,
        StepVerify = 80,
        StepProgramReference = 96,
        StepProgramReferenceAgain = 97,
        StepProgramWrite = 98,
        StepProgramReadBack = 99,
        StepReset = 128,
        StepBootloaderReset = 129,
    };
    // The configuration is read after connecting in this many parts of 100 bytes.
    static constexpr int CONFIG_PARTS = 4;
    // A double read (or a write and its read-back) that disagrees is tried this often in all.
    static constexpr int READ_ATTEMPTS = 2;
    // A failed job is started this many times more before its step gives up.
    static constexpr int JOB_RESTARTS = 2;
    static constexpr int STORING_START = 800;
    static constexpr int MONITOR_INTERVAL_TICKS = 6;

    // What connecting reads before the unit counts as known. The window reads the reference block
    // and the configuration twice each, so it can compare and show the unit at once; a command-line
    // run reads the reference block once (version, unit information) and goes straight on with the
    // command it queued, which reads what it needs itself.
    enum class ConnectReads { ReferenceAndConfiguration, ReferenceOnce };

    ConnectionManager(TransferEngine& link, ParamImage& image, MonitorImage& monitor, MonitorRequest& request,
        StatusSlots& status, ConnectionHost& host);

    // One pass of the connection manager.
    void Pass();

    // Buttons and menu items. The window applies the open page's controls to the image before
    // VerifyCommand and ProgramCommand.
    void ReadCommand() { pendingCommand = StepRead; }
    void VerifyCommand();
    // Returns whether the program command was accepted: it is refused without a connected unit and
    // on a new installation (with a message box). After a reference-once connection it writes at
    // once: the reference block was read moments before.
    bool ProgramCommand();
    void ResetCommand() { pendingCommand = StepReset; }
    // Undo and redo with "program immediately" ticked: only the changed bytes are written.
    void RequestProgramChanged();
    // The bootloader tool asked for the unit to be reset into its bootloader.
    void RequestBootloaderReset() { pendingCommand = StepBootloaderReset; }
    // A Program (of all bytes or of the changed ones) has been given and has not ended: from the
    // command through the writes and their read-back to the end of the unit's storing.
    bool ProgramUnderway() const;
    // The Read, Verify, Program and Reset controls are enabled while this holds.
    bool CommandsEnabled(bool replaying) const;

    void DropConnection();
    // A click on the COM menu chose this port selection (-1 offline, 0 automatic, else a port);
    // portItem: the click was on a port item rather than offline or automatic.
    void ChoosePort(int32_t forcedPort, bool portItem);
    void CompareWithUnit();
    void UpdateUnitPanel();
    // After a language switch: the status texts and the unit panel again, in the new language.
    void Retranslate();

    // The per-cent value of progress p (0..100) of one of the eight configuration reads after
    // connecting; the reads share one bar from 20 to 100.
    static int ConfigReadPercent(int step, int p);

    ConnectReads connectReads = ConnectReads::ReferenceAndConfiguration;
    int32_t linkStep = StepOffline;
    int32_t pendingCommand = 0;
    int32_t failedJobs = 0;
    int32_t attempts = 0;
    int32_t lastMonitorTick = 0;
    int32_t rangeStart = 0;
    int32_t rangeEnd = 0;
    std::array<uint8_t, RS_LEN_EXE> firstRead {};
    uint8_t programPending = 0;
    ::ReferenceBlock referenceBlock {};
    ParamImage unitMirror;
    int32_t unitMirrorValid = 0;
    ::ChangedMap changedMap {};
    int32_t programAll = 1;
    int32_t saveCountdown = 0;
    int32_t versionState = 0;
    std::string versionText;
    // The unit's program version from its monitor block; the mismatch text is built from them in
    // the language of the moment.
    int unitVersionMajor = 0;
    int unitVersionMinor = 0;
    UnitInfo unitInfo;

private:
    enum MessageKind { Title, Success, Failure };
    struct ResultMessage {
        const char* text;
        MessageKind kind;
    };
    static const ResultMessage REFERENCE_TITLE, READ_TITLE, VERIFY_TITLE, PROGRAM_TITLE, SAVING_TITLE, REFERENCE_OK,
        VERIFY_OK, PROGRAM_OK, REFERENCE_ERROR, READ_ERROR, VERIFY_ERROR, COMMAND_CUT;

    // A title starts the bar at titlePercent.
    void ShowResult(const ResultMessage& message, int titlePercent = 0);
    void SetProgress(bool visible, uint32_t colour, int percent);
    void SetPercent(int percent) { SetProgress(progressVisible_, progressColour_, percent); }
    void ShowNoConnection();
    // What a lost link leaves behind: no mirror, no version, no storing to wait for; a command it
    // cut short is reported as failed.
    void ForgetUnit();
    bool CommandUnderway() const;
    void UpdateLabelCom();
    void SetLabelCom(const std::string& text);

    // Step 6 of a pass; false when the pass ends (the link was dropped).
    bool FollowJob();
    void ShowJobProgress();
    bool JobFailedInStep();
    void Judge();
    void JudgeReference();
    void EndReferenceOnlyConnect();
    void JudgeConfigSecond();
    void JudgeReadAgain();
    void JudgeCompare(int32_t retryStep);
    void Retry(int32_t step, const ResultMessage& error, int retryPercent = 0);
    void StartStepJob();
    void StartMonitorExchange();
    void StartRead(int start, int length, int flags);
    // How much of the reference block one read can fetch over the connected protocol.
    int ReferenceReadLength() const;
    void StartProgramWrite();
    void StartReset();
    void TakeOverMonitor();
    void ShowStoring();
    void VersionMessageBox(int major, int minor);
    int CountDifferences(const uint8_t* a, const uint8_t* b, bool onlyChanged) const;
    bool HasJob() const;
    // The command the owner hears the end of (CommandEnded); -1 while none runs.
    void BeginCommand(int32_t step);
    void EndCommand(bool ok, const ParamImage* unit);

    TransferEngine& link_;
    ParamImage& image_;
    MonitorImage& monitor_;
    MonitorRequest& request_;
    StatusSlots& status_;
    ConnectionHost& host_;

    bool firstPass_ = true;
    int activeCommand_ = -1;
    // A connection that ends before the unit's reference block was read names no unit.
    bool referenceRead_ = false;
    int32_t startedJob_ = 0;
    int referenceLength_ = REFERENCE_BLOCK_LEN;
    bool progressVisible_ = false;
    uint32_t progressColour_ = 0;
    int progressPercent_ = -1;
    std::string labelComText_;
    bool labelComShown_ = false;
};
