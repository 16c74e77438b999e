#pragma once

#include "base/ProductIdentity.h"
#include "link/ProtocolTable.h"
#include "link/UnitTypeTable.h"
#include "model/ImageLayout.h"
#include "unitsim/AnswerPriority.h"
#include "unitsim/UnitLine.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

// How the simulated unit behaves; the fault options make it misbehave reproducibly (seed).
struct UnitSimOptions {
    int32_t protocol = PROTOCOL_IGN100;
    uint32_t baud = 0; // 0: the usual rate of the protocol's row
    bool checkBaud = true; // requests sent at another line rate are not understood, as on a real line
    int unitType = REQUIRED_UNIT_TYPE;
    int firmwareMajor = PROGRAM_KEY;
    int firmwareMinor = PROGRAM_SUBVERSION;
    std::string name = "VORDAX4 SIM";
    // Reference bytes 39..46; byte 46 of 255 is a unit without a serial number ("none SN").
    std::array<uint8_t, 8> serialNumber { 1, 2, 3, 4, 5, 6, 7, 8 };
    int maxFrameLength = WCOM_DEFAULT_MAX_FRAME; // WCOM family
    int hardwareCode = 0x12;
    bool paced = false; // requests and answers take the time their bytes need on the wire
    int storingMs = 2000; // the storing countdown runs from 800 to 0 in this time after a write
    double dropShare = 0; // share of requests left unanswered
    double corruptShare = 0; // share of answers with a wrong check
    int delayMs = 0; // answers wait this long
    double delayShare = 1; // share of answers that wait delayMs
    bool echo = false; // a loop-back plug: every byte comes back, nothing else
    bool silent = false; // the unit answers nothing
    // The unit falls silent after this many answers, e.g. 1: it answers the search and nothing
    // after, with no gap in which a busy test could miss the moment; -1 never.
    int silentAfterAnswers = -1;
    bool ignoreWrites = false; // write requests are confirmed but the memory keeps its bytes
    int alteredReads = 0; // this many memory read answers carry a changed byte in a valid frame; -1 all
    // The unit vanishes as an unplugged adapter does when the configuration write (or read) request
    // with this number arrives, before it is carried out; 0 never.
    int unplugAtWrite = 0;
    int unplugAtRead = 0;
    // Called on the unit's thread when it pulls its own plug, before its line goes. A test that
    // offers the device under a name of its own removes the name here, so the name never leads to
    // a pseudo-terminal that the system has meanwhile given to another program.
    std::function<void()> onUnplug;
    uint32_t seed = 1;
};

class PortChannel;

// A complete unit: it answers identify, reference, memory read and write, monitor exchange and
// reset requests of its protocol as the unit does, keeps a 400-byte configuration, produces moving
// engine data and counts the storing down after a write. It sits on a pseudo-terminal (Unix), a
// real serial device for other programs, or on an in-process line that the program's own port
// map offers as a COM port (the demo, and tests that need no real serial path).
class UnitSim {
public:
    static constexpr const char* DEFAULT_LINE_LABEL = "unitsim";
    // The reference block as the unit keeps it: enough for block 0 of the largest fixed block.
    static constexpr int REFERENCE_AREA_LEN = 300;

    explicit UnitSim(UnitSimOptions options = {});
    ~UnitSim();
    UnitSim(const UnitSim&) = delete;
    UnitSim& operator=(const UnitSim&) = delete;

    // Opens a pseudo-terminal and starts answering; false with a message on failure (always on
    // systems without pseudo-terminals).
    bool Start(std::string* error = nullptr);
    // Starts answering on the in-process line "inproc:<label>"; a unit restarted under the same
    // label serves the same line again, as an adapter plugged back in. False with a message for a
    // label a port map cannot carry.
    bool StartInProcess(const std::string& label = DEFAULT_LINE_LABEL, std::string* error = nullptr);
    // Stops and closes the line: the device vanishes as an unplugged adapter does.
    void Stop();
    // The device the program opens: "/dev/pts/N" or "inproc:<label>"; empty before the first start.
    const std::string& DevicePath() const;
    // The in-process line, for a port map (PortMap::AddChannel); null on a pseudo-terminal.
    std::shared_ptr<PortChannel> Channel() const { return channel_; }
    const UnitSimOptions& options() const { return options_; }
    uint32_t LineBaudRequired() const;
    // How the thread that answers is scheduled since the last start: like hardware, the unit keeps
    // its answers on time on a busy machine where the system lets it run ahead of other programs.
    AnswerPriority Priority() const { return priority_; }

    // Fault switches that may change while the unit runs.
    void SetSilent(bool silent) { silent_.store(silent); }
    void SetEcho(bool echo) { echo_.store(echo); }
    // Whether the engine's second pick-up delivers a signal (the first always does).
    void SetPickup2Running(bool running) { pickup2Running_.store(running); }
    void SetDelay(int ms) { delayMs_.store(ms); }
    // The next count answers to configuration or reference reads carry one byte changed, each time
    // differently, in a frame that is otherwise correct; -1 alters every read answer from now on.
    void SetAlteredReads(int count) { alteredReads_.store(count); }
    // New fault shares, with the draws starting afresh from the seed at the next request.
    void SetFaults(double dropShare, double corruptShare, uint32_t seed);

    std::array<uint8_t, RS_LEN_EXE> Configuration() const;
    void SetConfiguration(const std::array<uint8_t, RS_LEN_EXE>& bytes);
    std::array<uint8_t, REFERENCE_AREA_LEN> ReferenceBlock() const;
    // Counters of handled requests, for tests and the demo's display.
    int RequestsAnswered() const { return answered_.load(); }
    int WritesReceived() const { return writes_.load(); }
    int ResetsReceived() const { return resets_.load(); }
    // Read requests for the reference block and for the configuration (one per frame).
    int ReferenceReadsAnswered() const { return referenceReads_.load(); }
    int ConfigurationReadsReceived() const { return configReads_.load(); }
    // Bytes heard on the line and bytes sent, for the transfer figures of the benchmarks.
    int64_t BytesMoved() const { return bytesIn_.load() + bytesOut_.load(); }
    int StoringCountdown() const;
    // True once the unit has pulled its own plug (unplugAtWrite, unplugAtRead).
    bool Unplugged() const { return unplugged_.load(); }
    // The monitor block as the unit would send it now.
    std::array<uint8_t, MONITOR_BLOCK_LEN> MonitorBlock() const;
    std::array<uint8_t, MONITOR_BLOCK_LEN> LastMonitorRequest() const;

private:
    void StartOn(std::unique_ptr<UnitLine> line);
    void Run();
    void Consume();
    bool TakeWcomRequest();
    bool TakeIgnRequest();
    void AnswerWcom(const uint8_t* frame);
    void AnswerIgn(const uint8_t* frame);
    void SendAnswer(std::vector<uint8_t> answer, bool wcomFrame);
    void StartStoring();
    std::vector<uint8_t> IgnBlock(const uint8_t* source, int sourceLength, int block) const;
    void WaitWireTime(size_t bytes) const;
    // Counts a configuration write or read request; true when the unit is to vanish at this one.
    bool UnplugsAt(std::atomic<int>& counter, int at);
    // Changes one byte of a read answer's data while altered reads are pending.
    void AlterRead(uint8_t* data, size_t length);

    UnitSimOptions options_;
    const ProtocolInfo* info_;
    std::unique_ptr<UnitLine> line_;
    std::shared_ptr<PortChannel> channel_;
    std::thread thread_;
    AnswerPriority priority_ = AnswerPriority::Ordinary;
    std::atomic<bool> stop_ { false };
    std::atomic<bool> silent_;
    std::atomic<bool> echo_;
    std::atomic<bool> pickup2Running_ { false };
    std::atomic<int> delayMs_;
    std::atomic<int> answered_ { 0 };
    std::atomic<int> writes_ { 0 };
    std::atomic<int> programmings_ { 0 };
    std::atomic<int> resets_ { 0 };
    std::atomic<int> configWrites_ { 0 };
    std::atomic<int> configReads_ { 0 };
    std::atomic<int> referenceReads_ { 0 };
    std::atomic<bool> unplugged_ { false };
    std::atomic<int64_t> bytesIn_ { 0 };
    std::atomic<int64_t> bytesOut_ { 0 };
    std::atomic<int> alteredReads_;
    int alterations_ = 0;
    std::mt19937 random_;
    std::atomic<double> dropShare_;
    std::atomic<double> corruptShare_;
    std::atomic<uint32_t> reseed_ { 0 }; // seed + 1 when a reseed is pending
    std::vector<uint8_t> input_;
    int64_t lastInputMs_ = 0;

    mutable std::mutex mutex_; // guards the memories below against the accessors
    std::array<uint8_t, RS_LEN_EXE> config_ {};
    std::array<uint8_t, REFERENCE_AREA_LEN> reference_ {};
    std::array<uint8_t, MONITOR_BLOCK_LEN> monitorRequest_ {};
    int64_t storingStartMs_ = -1;
    int64_t startMs_ = 0;
};
