#include "app/BootloaderChannel.h"
#include "app/FileMenu.h"
#include "app/MainWindow.h"
#include "app/WindowHandOver.h"
#include "app/WindowMonitor.h"
#include "files/IgnWriter.h"
#include "lang/LangString.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"

#include "TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// What a run of the real vordax4 executable left behind.
struct ProgramRun {
    int code = -1; // -1: it crashed or did not end in time
    std::string out;
    std::string err;
};

// Runs the program without a display and without a platform chosen, as from a plain terminal,
// while this process goes on serving its own window's events.
ProgramRun RunProgram(const QStringList& args, const QString& workDir = QDir::currentPath())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.start(VORDAX4_PROGRAM, args);
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        p.waitForFinished(20);
    }
    ProgramRun r;
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

struct StartFixture : testing::Test {
    ScopedWorkDir dir;
    std::vector<std::string> errors;

    std::unique_ptr<MainWindow> start(std::vector<std::string> args = {})
    {
        LanguageIndex = LANG_ENGLISH;
        return std::make_unique<MainWindow>(args, [this](const std::string& e) { errors.push_back(e); });
    }

    // A parameter file whose limiter differs from the defaults.
    ParamImage writeParamFile(const std::string& name, int limiter)
    {
        ParamImage image;
        image.Adrb(BIKE) = STARTUP_BIKE;
        ResetDefaults(image, PAGE_ALL);
        image.Adrb(LIMITER) = static_cast<uint8_t>(limiter);
        ValidateImage(image);
        EXPECT_TRUE(WriteIgnFile(QString::fromStdString(dir.file(name)), image, IgnUnitInfo {}));
        return image;
    }

    void writeRecording(const std::string& name)
    {
        auto recorder = start();
        ASSERT_TRUE(recorder->Monitor().Player().StartRecording(dir.file(name), {}));
        recorder->Timer1Timer();
        recorder->Monitor().Player().Stop();
    }

    static void waitUntil(const std::function<bool()>& done)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
};

TEST_F(StartFixture, AParameterFileOnTheCommandLineOpensAfterTheLanguageWord)
{
    const ParamImage file = writeParamFile("bike.ign", 95);
    ASSERT_NE(file.Adrb(LIMITER), start()->Image().Adrb(LIMITER)) << "the file must differ from the defaults";

    // A name relative to the working folder is kept by its absolute name.
    auto form = start({ "DEUTSCH", "bike.ign" });
    EXPECT_EQ(LanguageIndex, LANG_GERMAN);
    EXPECT_EQ(form->Image().Adrb(LIMITER), file.Adrb(LIMITER));
    EXPECT_TRUE(form->windowTitle().endsWith("bike.ign")) << form->windowTitle().toStdString();
    EXPECT_EQ(form->Files().OpenDialogName(), QString::fromStdString(dir.file("bike.ign")));
    EXPECT_TRUE(errors.empty());
}

TEST_F(StartFixture, AMissingFileIsReportedAndTheDefaultsStay)
{
    auto form = start({ dir.file("missing.ign") });
    EXPECT_FALSE(errors.empty()) << "reported as File > Open reports it";
    EXPECT_EQ(form->Image().Adrb(LIMITER), 110);
    EXPECT_EQ(form->windowTitle(), "  VORDAX4 (v93)       ");
}

TEST_F(StartFixture, ARecordingOnTheCommandLinePlaysInThePlayer)
{
    writeRecording("ride.ignlog");
    auto form = start({ dir.file("ride.ignlog") });
    EXPECT_TRUE(form->Monitor().Player().replaying());
    EXPECT_EQ(form->Monitor().Player().fileName(), dir.file("ride.ignlog"));
    EXPECT_TRUE(form->findChild<QWidget*>("GroupBoxPlayer")->isVisibleTo(form.get()));
    EXPECT_TRUE(form->findChild<QAction*>("MenuMonitorPlayer")->isChecked());
}

TEST_F(StartFixture, ARecordingBeingMadeIsNotBrokenOff)
{
    writeRecording("ride.ignlog");
    auto form = start();
    ASSERT_TRUE(form->Monitor().Player().StartRecording(dir.file("now.ignlog"), {}));
    form->HandOver().Open(QString::fromStdString(dir.file("ride.ignlog")));
    EXPECT_EQ(form->Monitor().Player().state(), MonitorPlayer::Recording);
    EXPECT_EQ(errors.size(), 1u);
    form->Monitor().Player().Stop();
}

TEST_F(StartFixture, ASecondStartHandsItsFilesToTheRunningWindow)
{
    const ParamImage file = writeParamFile("second.ign", 97);
    writeRecording("ride.ignlog");
    auto form = start();
    QDir(QString::fromStdString(dir.path())).mkdir("elsewhere");
    const QString elsewhere = QString::fromStdString(dir.file("elsewhere"));

    // A relative name, from another working folder than the running window's.
    ProgramRun run = RunProgram({ "ENGLISH", "../second.ign" }, elsewhere);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    waitUntil([&] { return form->Image().Adrb(LIMITER) == file.Adrb(LIMITER); });
    EXPECT_EQ(form->Image().Adrb(LIMITER), file.Adrb(LIMITER));
    EXPECT_TRUE(form->windowTitle().endsWith("second.ign")) << form->windowTitle().toStdString();

    run = RunProgram({ "../ride.ignlog" }, elsewhere);
    EXPECT_EQ(run.code, 0) << run.err;
    waitUntil([&] { return form->Monitor().Player().replaying(); });
    EXPECT_EQ(form->Monitor().Player().fileName(), dir.file("ride.ignlog"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(StartFixture, HelpVersionAndWrongOptionsNeedNoDisplay)
{
    struct Case {
        QStringList args;
        int code;
        std::string out; // the start of standard output
        std::string err; // the start of standard error
    } cases[] = {
        { { "--help" }, 0, "usage: vordax4 [ENGLISH|DEUTSCH|CESKY|nopatchcheck]", "" },
        { { "-h" }, 0, "usage: vordax4 ", "" },
        { { "DEUTSCH", "--help" }, 0, "Aufruf: vordax4 ", "" },
        { { "--version" }, 0, "vordax4 93.0\nVORDAX4   RSKEY=93.00   COMPILE=", "" },
        { { "--no-such-option" }, 2, "", "vordax4: unknown option '--no-such-option'\n\nusage: vordax4 " },
        { { "bike.ign", "-q" }, 2, "", "vordax4: unknown option '-q'" },
    };
    for (const Case& c : cases) {
        const ProgramRun run = RunProgram(c.args);
        const std::string line = c.args.join(' ').toStdString();
        EXPECT_EQ(run.code, c.code) << line << ": " << run.err;
        EXPECT_EQ(run.out.substr(0, c.out.size()), c.out) << line;
        EXPECT_EQ(run.err.substr(0, c.err.size()), c.err) << line;
        EXPECT_EQ(run.out.empty(), c.out.empty()) << line;
        EXPECT_EQ(run.err.empty(), c.err.empty()) << line << ": " << run.err;
    }
}

} // namespace

namespace {

TEST_F(StartFixture, FiftyFailedHandOversGiveOneBox)
{
    auto form = start();
    const int count = 50;
    std::atomic<int> handed { 0 };
    std::thread sender([&] {
        for (int i = 0; i < count; ++i)
            if (BootloaderChannel::SendFile(BootloaderChannel::DefaultName(), QString::fromStdString(dir.file("gone-" + std::to_string(i) + ".ign"))))
                ++handed;
    });
    QElapsedTimer t;
    t.start();
    auto boxes = [&] { return form->findChildren<QMessageBox*>("MessageFilesNotOpened"); };
    while ((handed < count || boxes().isEmpty() || !boxes().first()->text().contains("gone-49.ign")) && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    sender.join();
    EXPECT_EQ(handed, count);
    const QList<QMessageBox*> shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(shown.first()->text().contains(QString("gone-%1.ign").arg(i))) << i;
    EXPECT_TRUE(errors.empty()) << "no box of its own per file";
}

// A signal ends the program even while a message box waits for the user: here the box of a file
// named on the command line that cannot be opened, shown while the window is being built.
TEST_F(StartFixture, ASignalEndsTheProgramWhileABoxIsOpen)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VORDAX4_SETTINGS_DIR", QString::fromStdString(dir.file("settings")));
    env.insert("VORDAX4_TRACE", QString::fromStdString(dir.file("trace.txt")));
    env.insert("VORDAX4_BOOTLOADER_SOCKET", QString::fromStdString(dir.file("socket")));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(VORDAX4_PROGRAM, { "nopatchcheck", QString::fromStdString(dir.path()) + "/missing.ign" });
    ASSERT_TRUE(p.waitForStarted());
    QElapsedTimer t;
    t.start();
    // The file is opened right after the window's last step of start-up is traced.
    while (dir.read("trace.txt").find("FORM Initialised") == std::string::npos && t.elapsed() < 20000)
        p.waitForFinished(20);
    ASSERT_EQ(p.state(), QProcess::Running) << p.readAllStandardError().toStdString();
    p.terminate();
    const bool ended = p.waitForFinished(20000);
    if (!ended)
        p.kill();
    EXPECT_TRUE(ended) << "the box held the program";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
}

} // namespace
