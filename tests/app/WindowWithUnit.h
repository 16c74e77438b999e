#pragma once

#include "app/MainWindow.h"
#include "app/WindowLink.h"
#include "lang/LangString.h"
#include "model/ImageLayout.h"
#include "pages/UpDownSpinBox.h"

#include "TempDir.h"
#include "unitsim/UnitSim.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// A main window whose only port, COM 3, is a simulated unit on a pseudo-terminal. The test drives
// the window's timer; while a transfer runs it waits for the unit, as real time would.
struct WindowWithUnit : testing::Test {
    ScopedWorkDir dir;
    std::unique_ptr<UnitSim> unit;
    std::unique_ptr<MainWindow> form;
    std::vector<std::string> errors;
    std::vector<std::string> boxes;

    void SetUp() override
    {
        LanguageIndex = LANG_ENGLISH;
        StartUnit({});
    }
    // The unit on COM 3, in place of the one before; only before Open, while no window looks for
    // the old unit's pseudo-terminal, which the system may hand to another program once it goes.
    void StartUnit(UnitSimOptions options)
    {
        options.storingMs = 300;
        unit = std::make_unique<UnitSim>(options);
        ASSERT_TRUE(unit->Start());
        qputenv("VORDAX4_PORTS", QByteArray("3=") + unit->DevicePath().c_str());
    }
    void TearDown() override
    {
        form.reset();
        qunsetenv("VORDAX4_PORTS");
    }
    void Open(const std::vector<std::string>& args = {})
    {
        form = std::make_unique<MainWindow>(args, [this](const std::string& e) { errors.push_back(e); });
        form->Link().messageBox = [this](const std::string& text, const std::string&, ConnectionHost::MessageKind) {
            boxes.push_back(text);
        };
        // The unit holds a configuration the program accepts as it is.
        unit->SetConfiguration(form->Image().bytes());
    }
    TransferEngine& link() { return form->Link().Engine(); }
    UnitSearch& search() { return link().Search(); }
    ConnectionManager& manager() { return form->Link().Manager(); }
    bool JobRunning()
    {
        const int32_t job = link().job();
        return job != JobNone && job != JobDone && job != JobFailed;
    }
    // The simulated unit works in real time (it stores a configuration in 300 ms) while the tick
    // clock here jumps a tick at a time, so a tick always lets some real time go by: otherwise a
    // fast link could run through a test's tick budget before the unit has done its work.
    void Tick()
    {
        QElapsedTimer waited;
        waited.start();
        if (!search().connectedPort.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        else if (!JobRunning())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        while (JobRunning() && waited.elapsed() < 1000)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        form->Timer1Timer();
        QCoreApplication::processEvents();
    }
    bool RunUntil(const std::function<bool()>& done, int maxTicks = 800)
    {
        for (int i = 0; i < maxTicks && !done(); ++i)
            Tick();
        return done();
    }
    // Ticks until done holds or limitMs of real time have passed: for what the program learns from
    // its port's thread in real time (a vanished device), which a starved thread learns late.
    bool RunUntilInTime(const std::function<bool()>& done, int limitMs = 30000)
    {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < limitMs)
            Tick();
        return done();
    }
    QString Text(const char* name) { return form->findChild<QLabel*>(name)->text(); }
    bool Shown(const char* name) { return !form->findChild<QWidget*>(name)->isHidden(); }
    bool Idle() { return manager().linkStep == ConnectionManager::StepIdle && !manager().pendingCommand; }
    void Connect()
    {
        ASSERT_TRUE(RunUntil([&] { return manager().unitMirrorValid == 1 && Idle(); }));
    }
    void Run(const char* command)
    {
        form->findChild<QAction*>(command)->trigger();
        ASSERT_TRUE(RunUntil([&] { return !Idle(); }));
        ASSERT_TRUE(RunUntil([&] { return Idle(); }));
    }
    // As the user does: clicks on the spin button's arrows, each a step of 100 rpm.
    void SetLimiter(int rpm)
    {
        auto* upDown = form->findChild<UpDownSpinBox*>("UpDownLimiter");
        static_cast<QAbstractSpinBox*>(upDown)->stepBy((rpm - upDown->value()) / 100);
        ASSERT_TRUE(RunUntil([&] { return form->Image().Adrb(LIMITER) == rpm / 100; }, 20));
    }
};
