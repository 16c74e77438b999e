#include "link/PortTable.h"

#include "base/TickClock.h"
#include "base/Trace.h"
#include "link/PortChannel.h"
#include "link/PortIoThread.h"

#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr int32_t ENUMERATION_INTERVAL_MS = 1000;
constexpr int32_t OPEN_TIMEOUT_MS = 5000;
constexpr unsigned IO_THREAD_STACK = 0x20000;

bool FileExists(const std::string& path)
{
    struct stat st { };
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

} // namespace

PortTable::PortTable()
    : deviceLister_(&PortDirectory::ListSystemDevices)
{
    for (int i = 0; i < PORT_COUNT; ++i) {
        com_[static_cast<size_t>(i)].portNumber = static_cast<uint8_t>(i);
        com_[static_cast<size_t>(i)].deviceName = "COM" + std::to_string(i);
    }
    Trace::SetOrigin();
    TraceLine("Open LOG");
}

PortTable::~PortTable() { StopPortThreads(); }

void PortTable::StopPortThreads()
{
    CloseAllPorts();
    linkStop.store(1, std::memory_order_release);
    for (PortRecord& com : com_)
        com.bell.Ring();
    // Joining (rather than a fixed wait) keeps a thread from outliving the record it works on.
    for (PortRecord& com : com_)
        if (com.ioThread) {
            // The thread's last store says it is done with the record and with itself; reading it
            // with acquire orders everything the thread did before the deletion.
            while (com.threadState.load(std::memory_order_acquire) != THREAD_FINISHED)
                QThread::msleep(1);
            com.ioThread->wait();
            delete com.ioThread;
            com.ioThread = nullptr;
            com.threadState.store(THREAD_NONE, std::memory_order_relaxed);
        }
}

void PortTable::SetPortMap(const PortMap& map)
{
    portMap_ = map;
    lastEnumeration_ = TickMs.load() - ENUMERATION_INTERVAL_MS - 1;
}

std::string PortTable::DevicePath(int port) const
{
    return port > 0 && port < PORT_COUNT ? directory_.devicePath[static_cast<size_t>(port)] : std::string();
}

bool PortTable::NoteOpenFailure(int port)
{
    PortRecord& com = Port(port);
    if (com.error.load(std::memory_order_acquire) != PORT_ERROR_OPEN)
        return false;
    PortOpenFailure& known = failures_[static_cast<size_t>(port & 0xFF)];
    if (known == com.openFailure)
        return false;
    known = com.openFailure;
    // The COM menu greys the port and names the reason.
    portsChanged = 1;
    return true;
}

void PortTable::ClearOpenFailure(int port)
{
    PortOpenFailure& known = failures_[static_cast<size_t>(port & 0xFF)];
    if (!known.Failed())
        return;
    known = {};
    portsChanged = 1;
}

void PortTable::OpenPort(int port, uint32_t baud)
{
    if (port < 0 || port > 255)
        return;
    PortRecord& com = Port(port);
    com.error.store(PORT_ERROR_NONE, std::memory_order_relaxed);
    com.baud.store(baud, std::memory_order_relaxed);
    com.requestFlags = (com.state.load(std::memory_order_acquire) != PORT_CLOSED || com.requestFlags)
        ? REQUEST_OPEN | REQUEST_CLOSE
        : REQUEST_OPEN;
}

void PortTable::ClosePort(int port)
{
    if (port < 0 || port > 255)
        return;
    PortRecord& com = Port(port);
    if (com.state.load(std::memory_order_acquire) != PORT_CLOSED || com.requestFlags) {
        com.error.store(PORT_ERROR_NONE, std::memory_order_relaxed);
        com.requestFlags = REQUEST_CLOSE;
    }
}

void PortTable::CloseAllPorts()
{
    for (int i = 0; i < PORT_COUNT; ++i)
        ClosePort(i);
}

// An in-process line is there while its device is attached; a system device while its file is.
bool PortTable::DeviceExists(const std::string& path) const
{
    if (const auto channel = portMap_.Channel(path))
        return channel->DeviceAttached();
    return FileExists(path);
}

int PortTable::EnumeratePorts()
{
    PortMap map = portMap_;
    directory_ = PortDirectory::Assign(map.onlyMapped ? std::vector<SerialDevice> {} : deviceLister_(), map);
    int changed = 0;
    for (int i = 0; i < PORT_COUNT; ++i) {
        const std::string& path = directory_.devicePath[static_cast<size_t>(i)];
        const uint32_t present = i > 0 && DeviceExists(path) ? 1 : 0;
        PortRecord& com = com_[static_cast<size_t>(i)];
        if (com.present != present)
            changed = 1;
        com.present = present;
        if (!present)
            failures_[static_cast<size_t>(i)] = {};
    }
    return changed;
}

void PortTable::ServicePorts()
{
    const int32_t now = TickMs.load();
    if (now - lastEnumeration_ > ENUMERATION_INTERVAL_MS) {
        lastEnumeration_ = now;
        if (EnumeratePorts())
            portsChanged = 1;
        portsEnumerated = 1;
    }
    for (PortRecord& com : com_)
        ServicePort(com, now);
}

void PortTable::ServicePortNow(int port)
{
    if (port < 1 || port >= PORT_COUNT)
        return;
    PortRecord& com = Port(port);
    const int32_t now = TickMs.load();
    ServicePort(com, now);
    if (com.requestFlags == REQUEST_OPEN && !com.ioThread)
        ServicePort(com, now);
}

void PortTable::ReleaseThread(PortRecord& com)
{
    com.ioThread->wait();
    delete com.ioThread;
    com.ioThread = nullptr;
    com.threadState.store(THREAD_NONE, std::memory_order_release);
}

void PortTable::ServicePort(PortRecord& com, int32_t now)
{
    if (com.threadState.load(std::memory_order_acquire) == THREAD_FINISHED && com.ioThread)
        ReleaseThread(com);
    if (!com.requestFlags)
        return;
    const uint8_t state = com.state.load(std::memory_order_acquire);
    if (com.requestFlags & REQUEST_CLOSE) {
        if (state == PORT_CLOSED) {
            com.requestFlags &= static_cast<uint8_t>(~REQUEST_CLOSE);
            // The thread is done with the record once it has stored Closed; bytes a sender handed
            // over after the thread's purge (while it was closing) are dropped here, so a sender
            // still holding the port finds the buffer free.
            com.txLength.store(0, std::memory_order_release);
        }
        else if (state != PORT_CLOSING) {
            com.requestTime = now;
            com.threadCommand.store(COMMAND_CLOSE, std::memory_order_release);
            com.bell.Ring();
        }
        return;
    }
    if (!(com.requestFlags & REQUEST_OPEN))
        return;
    const uint8_t error = com.error.load(std::memory_order_acquire);
    if (error == PORT_ERROR_OPEN || state == PORT_OPEN) {
        com.requestFlags = 0;
        return;
    }
    if (state == PORT_OPENING || com.threadCommand.load(std::memory_order_acquire) == COMMAND_OPEN) {
        if (now - com.requestTime > OPEN_TIMEOUT_MS) {
            com.error.store(PORT_ERROR_OPEN_TIMEOUT, std::memory_order_relaxed);
            com.threadCommand.store(COMMAND_CLOSE, std::memory_order_release);
            com.bell.Ring();
            com.requestFlags = REQUEST_CLOSE;
        }
        return;
    }
    if (com.ioThread || com.threadState.load(std::memory_order_acquire) != THREAD_NONE)
        return;
    std::snprintf(com.lineMode, sizeof com.lineMode, "%u,N,8,1", com.baud.load(std::memory_order_relaxed));
    const std::string path = DevicePath(com.portNumber);
    // Once per record, before any other thread may ring it; without it the thread polls.
    com.bell.Open();
    com.ioThread = new PortIoThread(com, QString::fromStdString(path), portMap_.Channel(path), linkStop);
    com.ioThread->setStackSize(IO_THREAD_STACK);
    com.requestTime = now;
    com.error.store(PORT_ERROR_NONE, std::memory_order_relaxed);
    com.threadCommand.store(COMMAND_OPEN, std::memory_order_relaxed);
    com.threadState.store(THREAD_RUNNING, std::memory_order_release);
    com.ioThread->start();
    if (!com.ioThread->isRunning() && !com.ioThread->isFinished()) {
        delete com.ioThread;
        com.ioThread = nullptr;
        com.threadState.store(THREAD_NONE, std::memory_order_release);
        com.threadCommand.store(COMMAND_NONE, std::memory_order_release);
        com.error.store(PORT_ERROR_THREAD, std::memory_order_release);
        com.requestFlags = 0;
    }
}
