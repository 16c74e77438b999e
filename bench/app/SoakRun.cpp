#include "app/MainWindow.h"
#include "app/WindowLink.h"
#include "app/WindowMonitor.h"
#include "link/ConnectionManager.h"
#include "link/TransferEngine.h"
#include "monitor/IgnlogFile.h"
#include "monitor/MonitorPlayer.h"
#include "unitsim/UnitSim.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

// Keeps the window connected to a simulated unit with the monitor running and a recording on, and
// prints at the chosen minutes: resident memory, monitor exchanges, failed jobs, lost links and the
// records saved against the monitor blocks the unit sent while recording. A recording holds about
// two minutes (its offsets are 16-bit); when one ends full, it is checked on disk and the next one
// starts, as a rider would start it again.
// Usage: bench_soak MINUTES [REPORT_MINUTE...]   (QT_QPA_PLATFORM=offscreen)
namespace {

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

struct Counters {
    int recordings = 0;
    int savedRecords = 0; // monitor records in the finished recordings, as read back from disk
    int unreadable = 0;
    int failedJobs = 0;
    int lostLinks = 0;
    int messages = 0;
    int32_t lastJob = JobNone;
    bool connected = false;
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_soak MINUTES [REPORT_MINUTE...]\n");
        return 2;
    }
    const double minutes = std::atof(argv[1]);
    std::set<int> reportAt;
    for (int i = 2; i < argc; ++i)
        reportAt.insert(std::atoi(argv[i]));
    reportAt.insert(static_cast<int>(minutes));

    QTemporaryDir scratch;
    qputenv("VORDAX4_SETTINGS_DIR", scratch.path().toLocal8Bit());
    QApplication app(argc, argv);

    UnitSimOptions options;
    options.storingMs = 300;
    UnitSim unit(options);
    std::string error;
    if (!unit.Start(&error)) {
        std::fprintf(stderr, "bench_soak: %s\n", error.c_str());
        return 1;
    }
    qputenv("VORDAX4_PORTS", QByteArray("3=") + unit.DevicePath().c_str());

    Counters c;
    MainWindow form({ "nopatchcheck" }, [&](const std::string& text) {
        ++c.messages;
        std::printf("message: %s\n", text.c_str());
        std::fflush(stdout);
    });
    form.Link().messageBox = [&](const std::string& text, const std::string&, ConnectionHost::MessageKind) {
        ++c.messages;
        std::printf("message box: %s\n", text.c_str());
    };
    unit.SetConfiguration(form.Image().bytes());
    TransferEngine& link = form.Link().Engine();
    ConnectionManager& manager = form.Link().Manager();
    MonitorPlayer& player = form.Monitor().Player();
    const auto recordingName = [&](int n) { return scratch.filePath(QString("soak-%1.ignlog").arg(n)).toStdString(); };
    // The monitor records of a finished recording as saved, or -1 when the file cannot be read.
    const auto savedRecords = [&](int n) {
        IgnlogFile saved;
        QFile f(QString::fromStdString(recordingName(n)));
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        if (saved.parse(std::vector<uint8_t>(bytes.begin(), bytes.end())) != IgnlogFile::ParseError::None)
            return -1;
        return saved.totalCount() - saved.snapshotCount();
    };
    const auto takeFinished = [&] {
        const int records = savedRecords(c.recordings);
        if (records < 0)
            ++c.unreadable;
        else
            c.savedRecords += records;
    };

    QElapsedTimer clock;
    clock.start();
    int answeredAtStart = -1;

    // Jobs and links are watched more often than the manager judges them, so none is missed.
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const int32_t job = link.job();
        if (job == JobFailed && c.lastJob != JobFailed)
            ++c.failedJobs;
        c.lastJob = job;
        const bool connected = link.Search().connectedPort.load() != 0;
        if (c.connected && !connected)
            ++c.lostLinks;
        c.connected = connected;
        const bool ready = manager.unitMirrorValid && manager.linkStep == ConnectionManager::StepIdle;
        if (answeredAtStart >= 0 && player.state() == MonitorPlayer::Idle) {
            takeFinished();
            ++c.recordings;
        }
        if ((answeredAtStart < 0 && ready) || (answeredAtStart >= 0 && player.state() == MonitorPlayer::Idle)) {
            if (!player.StartRecording(recordingName(c.recordings), {})) {
                std::fprintf(stderr, "bench_soak: the recording could not be started\n");
                app.exit(1);
                return;
            }
            if (answeredAtStart < 0) {
                answeredAtStart = unit.RequestsAnswered();
                std::printf("connected and recording after %.1f s\n", clock.elapsed() / 1000.0);
            }
        }
    });
    watch.start();

    auto report = [&](int minute) {
        const int exchanges = answeredAtStart < 0 ? 0 : unit.RequestsAnswered() - answeredAtStart;
        const int running = player.state() == MonitorPlayer::Recording
            ? player.file().totalCount() - player.file().snapshotCount()
            : 0;
        std::printf("minute %3d: resident %6.1f MiB, monitor exchanges %6d, failed jobs %d, lost links %d, "
                    "records %6d (%d finished recordings, %d unreadable) of %6d exchanges, messages %d\n",
            minute, ResidentKiB() / 1024.0, exchanges, c.failedJobs, c.lostLinks, c.savedRecords + running,
            c.recordings, c.unreadable, exchanges, c.messages);
        std::fflush(stdout);
    };
    QTimer minuteTimer;
    minuteTimer.setInterval(60000);
    int minute = 0;
    QObject::connect(&minuteTimer, &QTimer::timeout, [&] {
        ++minute;
        if (reportAt.count(minute))
            report(minute);
        if (minute >= minutes)
            app.quit();
    });
    minuteTimer.start();
    if (minutes < 1)
        QTimer::singleShot(static_cast<int>(minutes * 60000), [&] {
            report(0);
            app.quit();
        });

    app.exec();
    const int inMemory = player.file().totalCount() - player.file().snapshotCount();
    const bool stopped = player.Stop();
    const int onDisk = savedRecords(c.recordings);
    takeFinished();
    std::printf("last recording: %s, %d records in memory, %d on disk; all recordings: %d records of %d exchanges, "
                "%d unreadable\n",
        stopped ? "saved" : "NOT saved", inMemory, onDisk, c.savedRecords,
        unit.RequestsAnswered() - answeredAtStart, c.unreadable);
    return c.lostLinks == 0 && stopped && c.unreadable == 0 ? 0 : 1;
}
