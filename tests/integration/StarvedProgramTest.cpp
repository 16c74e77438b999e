#include "../cli/CliTestSupport.h"
#include "TempDir.h"
#include "files/IgnWriter.h"
#include "unitsim/UnitSim.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

cpu_set_t OnlyCpu(int cpu)
{
    cpu_set_t only;
    CPU_ZERO(&only);
    CPU_SET(cpu, &only);
    return only;
}

// Threads that keep one processor busy at the test's own priority until they go.
class CpuBurners {
public:
    CpuBurners(int cpu, int count)
    {
        for (int i = 0; i < count; ++i)
            threads_.emplace_back([this, cpu] {
                const cpu_set_t only = OnlyCpu(cpu);
                pthread_setaffinity_np(pthread_self(), sizeof only, &only);
                uint64_t x = 1;
                while (!stop_.load(std::memory_order_relaxed))
                    x = x * 6364136223846793005u + 1442695040888963407u;
                sink_.fetch_add(x, std::memory_order_relaxed);
            });
    }
    ~CpuBurners()
    {
        stop_ = true;
        for (std::thread& t : threads_)
            t.join();
    }

private:
    std::atomic<bool> stop_ { false };
    std::atomic<uint64_t> sink_ { 0 };
    std::vector<std::thread> threads_;
};

cpu_set_t Allowed()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    sched_getaffinity(0, sizeof set, &set);
    return set;
}

int LastCpu(const cpu_set_t& set)
{
    int last = -1;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
        if (CPU_ISSET(cpu, &set))
            last = cpu;
    return last;
}

// The program under test starved, and only the program: vordax4-cli shares one processor with
// CPU-bound threads of its own priority, while the simulated unit answers from elsewhere (a
// real-time thread, or a thread kept off that processor), as a unit on its own hardware does.
// The program gets its turns late and seldom; a Program must still succeed.
struct StarvedProgram : ::testing::Test {
    static constexpr int BURNERS = 4;
    ScopedWorkDir dir;
    std::unique_ptr<UnitSim> unit;
    int busyCpu = -1;

    void SetUp() override
    {
        const cpu_set_t allowed = Allowed();
        busyCpu = LastCpu(allowed);
        // The unit's thread is made now and keeps the processors of the thread that makes it.
        cpu_set_t elsewhere = allowed;
        CPU_CLR(busyCpu, &elsewhere);
        const bool keptApart = CPU_COUNT(&elsewhere) > 0
            && pthread_setaffinity_np(pthread_self(), sizeof elsewhere, &elsewhere) == 0;
        unit = std::make_unique<UnitSim>();
        const bool started = unit->Start();
        pthread_setaffinity_np(pthread_self(), sizeof allowed, &allowed);
        ASSERT_TRUE(started);
        if (!keptApart && unit->Priority() != AnswerPriority::RealTime)
            GTEST_SKIP() << "one processor and no real-time priority: the load would starve the unit too";
        unit->SetConfiguration(FileImage(3, dir).bytes());
    }
};

TEST_F(StarvedProgram, AProgramSucceedsWhileTheProgramGetsLittleOfItsProcessor)
{
    const ParamImage wanted = FileImage(11, dir);
    const QString file = QString::fromStdString(dir.file("new.ign"));
    ASSERT_TRUE(WriteIgnFile(file, wanted, IgnUnitInfo {}));

    const int cpu = busyCpu;
    QProcess tool;
    tool.setChildProcessModifier([cpu] {
        const cpu_set_t only = OnlyCpu(cpu);
        sched_setaffinity(0, sizeof only, &only);
    });
    const CpuBurners load(busyCpu, BURNERS);
    tool.start(VORDAX4_CLI,
        { "program", file, "--port", "7=" + QString::fromStdString(unit->DevicePath()), "--timeout", "60" });
    ASSERT_TRUE(tool.waitForFinished(300000)) << "the starved program ends";
    const std::string err = tool.readAllStandardError().toStdString();
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit) << err;
    EXPECT_EQ(tool.exitCode(), 0) << err;
    EXPECT_TRUE(Has(tool.readAllStandardOutput().toStdString(), "Program device: OK")) << err;
    EXPECT_EQ(unit->Configuration(), wanted.bytes()) << err;
}

} // namespace
