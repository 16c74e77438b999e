#pragma once

#include "CliCommand.h"
#include "CliTicker.h"
#include "link/TransferEngine.h"
#include "link/ConnectionManager.h"
#include "link/LinkCommands.h"
#include "link/StatusSlots.h"
#include "model/MonitorImage.h"
#include "model/ParamImage.h"
#include "monitor/MonitorRequest.h"

#include <functional>
#include <memory>
#include <string>

// The connection manager as the window runs it, without a window: its own tick loop on the run's
// clock (a main-timer tick at most every 55 ms of real time, a manager pass on every even tick), status
// messages and message boxes printed on err as they appear, the progress bar as a line on err whenever it moves on by a
// tenth. A command ends with the manager's own result text: on out when it succeeded, on err when
// it failed.
class CliUnitSession : public ConnectionHost, public StatusLabels {
public:
    // ticker: the clock shared by the sessions of one run; without one the session keeps its own.
    CliUnitSession(const PortChoice& choice, int timeoutMs, CliIo& io, CliTicker* ticker = nullptr);

    // Finds the unit and waits until the manager has read its reference block and configuration
    // (the unitMirror is then valid), as the window does; false with a message when no unit answers
    // within the time-out, the unit runs another program version or the reads fail.
    bool Connect();

    // The commands: each returns whether the unit now holds what the command promised. Without a
    // connection they connect first, reading only the reference block before the command runs.
    bool Read();
    bool Verify();
    // Programs image; changedOnly writes only the bytes where it differs from what the unit holds.
    // Once begun, the Program runs to its end whatever signal comes first (CliProgramSignals).
    bool Program(bool changedOnly);
    bool Reset();

    // What the unit holds, as far as this session knows: the bytes the last Verify read when it
    // read them all, else the configuration read after connecting; false when neither is known.
    bool UnitConfiguration(ParamImage& unit) const;
    // Where the session prints.
    CliIo& io() const { return io_; }
    // The text of the last result message ("Verify: OK", "Verify error !").
    const std::string& ResultText() const { return resultText_; }
    // Whether that message is a failure; else it says how a command ended well or only which step began.
    bool ResultFailed() const { return resultFailed_; }

    // Runs the tick loop until done holds (true), the link is lost or limitMs of real time pass (false).
    bool RunUntil(const std::function<bool()>& done, int limitMs);
    bool Connected() const { return link.Search().connectedPort.load() != 0; }

    TransferEngine link;
    StatusSlots status { this };
    ParamImage image;
    MonitorImage monitor;
    MonitorRequest request;
    ConnectionManager manager { link, image, monitor, request, status, *this };

    // Called with the monitor image after every monitor block the unit sent.
    std::function<void(const MonitorImage&)> onMonitor;
    // Called when the connection or a command ended (ConnectionHost::CommandEnded).
    std::function<void(CommandKind kind, bool ok, const ParamImage* unit)> onCommandEnded;

    // ConnectionHost
    void ShowProgress(bool visible, uint32_t colour, int percent) override;
    void ShowMessageBox(const std::string& text, const std::string& caption, MessageKind kind) override;
    void SetLabelComText(const std::string& text) override;
    void FeedRecorder(const uint8_t* monitorBytes) override;
    void CommandEnded(CommandKind kind, bool ok, const ParamImage* unit) override;

    // StatusLabels
    bool HasControl(int slot) const override { return slot != 3; }
    bool IsShown(int slot) const override { return shown_[static_cast<size_t>(slot & 3)]; }
    void ShowLabel(int slot, const std::string& text, uint32_t fontColour, uint32_t backColour) override;
    void HideLabel(int slot) override { shown_[static_cast<size_t>(slot & 3)] = false; }

private:
    // Starts a command through start (false: it was refused) and follows it back to the idle step;
    // true when it ended without a failure message, without failed jobs and with the link still up.
    bool RunCommand(const std::function<bool()>& start);
    bool ProgramToTheEnd(bool changedOnly);
    // Waits for a port with a unit; false with a message when none answers within the time-out.
    bool FindUnit(ConnectionManager::ConnectReads reads);
    // Connects reading the reference block once, with the command start queues waiting for it.
    bool ConnectFor(const std::function<bool()>& start);
    // unread: what to say when the connection neither failed with a message nor showed a box.
    void ReportConnectFailure(const char* unread);
    bool Idle() const;
    void Step();
    // The last result message, on out for a success and on err for a failure.
    void ReportResult(bool ok);
    void Lost();
    // Keeps the bytes a Verify has just read, when it read all of them.
    void KeepVerifyRead();

    CliIo& io_;
    int timeoutMs_;
    std::unique_ptr<CliTicker> ownTicker_;
    CliTicker& ticker_;
    int tick_ = -1;
    int lastPass_ = -1;
    bool shown_[4] = {};
    std::string resultText_;
    bool resultFailed_ = false;
    bool boxShown_ = false;
    // The failure of the command's connection was already reported.
    bool connectReported_ = false;
    ParamImage verifyRead_;
    bool verifyReadValid_ = false;
    int lastPrintedPercent_ = -100;
    bool programming_ = false;
};
