#include "CliCommand.h"

#include "CliLinkOptions.h"
#include "CliUnitSession.h"
#include "monitor/MonitorCsv.h"
#include "base/BuildInfo.h"
#include "lang/LangString.h"
#include "lang/RuntimeTexts.h"
#include "link/UnitInfo.h"
#include "monitor/IgnlogFile.h"
#include "monitor/MonitorDisplay.h"
#include "monitor/MonitorPlayer.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>

namespace {

constexpr int DEFAULT_TIMEOUT_MS = 10000;
constexpr const char* MONITOR_USAGE = "monitor [--seconds N] [--record FILE.ignlog] [--csv] [--port N[=DEVICE]]... "
                                      "[--timeout SECONDS] [--protocol NAME [--baud N]]";
// A file larger than the fullest recording cannot be a monitor log.

std::atomic<bool> interrupted { false };

void OnInterrupt(int) { interrupted = true; }

struct MonitorArgs {
    PortChoice choice;
    int timeoutMs = DEFAULT_TIMEOUT_MS;
    double seconds = 0; // 0: until interrupted
    std::string record;
    bool csv = false;
};

bool ParseMonitorArgs(const std::vector<std::string>& args, MonitorArgs& m, CliIo& io)
{
    std::vector<std::string> rest = args;
    if (!TakeLinkOptions(rest, m.choice, &m.timeoutMs, io))
        return false;
    for (size_t i = 0; i < rest.size(); ++i) {
        const std::string& a = rest[i];
        if (a == "--csv") {
            m.csv = true;
            continue;
        }
        if ((a != "--seconds" && a != "--record") || i + 1 >= rest.size()) {
            io.err << "usage: vordax4-cli " << MONITOR_USAGE << "\n";
            return false;
        }
        const std::string& v = rest[++i];
        if (a == "--record") {
            m.record = v;
            continue;
        }
        char* end = nullptr;
        m.seconds = std::strtod(v.c_str(), &end);
        if (end == v.c_str() || *end || !(m.seconds > 0 && m.seconds <= 24 * 3600)) {
            io.err << "vordax4-cli: --seconds wants a positive number of seconds, not '" << v << "'\n";
            return false;
        }
    }
    return true;
}

// The configuration the unit runs with, as read after connecting: what its monitor values mean
// and what a recording keeps as its configuration. The session's own image is only what a
// command would program.
ParamImage UnitImage(const CliUnitSession& session)
{
    ParamImage unit;
    return session.UnitConfiguration(unit) ? unit : session.image;
}

// One line of the monitor as the window's labels show it, in the current language.
std::string MonitorLine(CliUnitSession& session, const RuntimeTexts& texts)
{
    MonitorSources sources { session.monitor, UnitImage(session), true, [&](int n) { return texts.Text(n); },
        session.manager.unitInfo.name, session.manager.unitInfo.firmwareDate, session.manager.unitInfo.firmwareTime };
    const MonitorView view = RefreshMonitorDisplay(sources);
    std::string line;
    for (const MonitorLabel& label : view.labels) {
        const bool shown = label.name == "LabelRpm" || label.name == "LabelTpsMon" || label.name == "LabelNapeti"
            || label.name.rfind("LabelAdvance", 0) == 0 || label.name == "LabelMonLimiterOut";
        if (!shown || !label.visible)
            continue;
        line += (line.empty() ? "" : "  |  ") + label.text;
    }
    return line;
}

MonitorPlayer::Hooks RecorderHooks(CliUnitSession& session, CliIo& io)
{
    MonitorPlayer::Hooks h;
    h.clockMs = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    h.wallSeconds = [] { return static_cast<int64_t>(std::time(nullptr)); };
    h.connectedPort = [&session] { return static_cast<int>(session.link.Search().connectedPort.load()); };
    h.unitPanelText = [&session] {
        return UnitPanelText(session.manager.versionState, session.manager.versionText, session.manager.unitInfo);
    };
    h.image = [&session] { return UnitImage(session); };
    h.unitMirror = [&session]() -> const ParamImage* {
        return session.manager.unitMirrorValid ? &session.manager.unitMirror : nullptr;
    };
    h.pages = [] { return PageRecord {}; };
    h.message = [&io](const std::string& text, const std::string& caption) {
        io.err << (caption.empty() ? "" : caption + ": ") << text << "\n";
    };
    return h;
}

} // namespace

int CliMonitor(const std::vector<std::string>& args, CliIo& io)
{
    MonitorArgs m;
    if (!ParseMonitorArgs(args, m, io))
        return CLI_USAGE;
    CliUnitSession session(m.choice, m.timeoutMs, io);
    if (!session.Connect())
        return CLI_FAILED;

    MonitorPlayer recorder(RecorderHooks(session, io));
    if (!m.record.empty()) {
        RecordingInfo info;
        info.compileDate = ProgramCompileDate();
        if (!recorder.StartRecording(m.record, info)) {
            io.err << "monitor: cannot write " << m.record << "\n";
            return CLI_FAILED;
        }
    }
    const RuntimeTexts texts;
    const auto start = std::chrono::steady_clock::now();
    int blocks = 0;
    if (m.csv)
        io.out << MonitorCsv::Header() << "\n";
    session.onMonitor = [&](const MonitorImage& monitor) {
        ++blocks;
        recorder.LogMonitor(monitor);
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (m.csv)
            io.out << MonitorCsv::Row(t, monitor) << "\n";
        else
            io.out << MonitorLine(session, texts) << "\n";
        io.out.flush();
    };

    interrupted = false;
    const auto previousInt = std::signal(SIGINT, OnInterrupt);
    const auto previousTerm = std::signal(SIGTERM, OnInterrupt);
    const bool recording = !m.record.empty();
    const int limitMs = m.seconds > 0 ? static_cast<int>(m.seconds * 1000) : 24 * 3600 * 1000;
    session.RunUntil(
        [&] {
            return interrupted || !session.Connected() || (recording && recorder.state() != MonitorPlayer::Recording);
        },
        limitMs);
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    session.onMonitor = nullptr;

    bool ok = session.Connected() && blocks > 0;
    if (recording) {
        // A recorder that ended itself (its log was full) has already written the file and said so.
        const bool stillRecording = recorder.state() == MonitorPlayer::Recording;
        if (!stillRecording)
            ok = false;
        else if (!recorder.Stop())
            ok = false;
        else
            io.err << "recorded " << blocks << " monitor blocks to " << m.record << "\n";
    }
    if (!session.Connected())
        io.err << "the connection with the unit was lost\n";
    else if (blocks == 0)
        io.err << "the unit sent no monitor data\n";
    return ok ? CLI_OK : CLI_FAILED;
}

int CliLogExport(const std::vector<std::string>& args, CliIo& io)
{
    if (args.size() != 1) {
        io.err << "usage: vordax4-cli log-export FILE.ignlog\n";
        return CLI_USAGE;
    }
    IgnlogFile log;
    const std::string error = log.Load(args[0]);
    if (!error.empty()) {
        io.err << "log-export: " << args[0] << ": " << LangText(error) << "\n";
        return CliBadInput(io);
    }
    io.out << MonitorCsv::Header() << "\n";
    for (int i = 0; i < log.totalCount(); ++i) {
        if (log.recordType(i) != ignlog::REC_MONITOR)
            continue;
        MonitorImage monitor;
        std::copy_n(log.record(i) + ignlog::R_PAYLOAD, MONITOR_BLOCK_LEN, monitor.bytes().begin());
        io.out << MonitorCsv::Row(log.recordTime(i) / 1000.0, monitor) << "\n";
    }
    return CLI_OK;
}
