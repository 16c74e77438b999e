#include "link/PortIoThread.h"

#include "base/TickClock.h"
#include "base/Trace.h"
#include "link/CCOM.h"

#include <QSerialPort>

#include <algorithm>
#include <string>

namespace {

std::atomic<int> transmissionCounter { 0 };

constexpr qint64 DRIVER_INPUT_QUEUE = 10000;
constexpr int WRITE_TIMEOUT_MS = 100;

} // namespace

PortIoThread::PortIoThread(CCOM& com, QString devicePath, const std::atomic<int>& linkStop)
    : com_(com)
    , devicePath_(std::move(devicePath))
    , linkStop_(linkStop)
{
}

void PortIoThread::run()
{
    QSerialPort serial;
    while (!linkStop_.load(std::memory_order_acquire)) {
        if (serial.isOpen())
            serial.waitForReadyRead(1);
        else
            msleep(com_.state.load(std::memory_order_acquire) != PORT_CLOSED ? 1 : 50);
        if (com_.threadState.load(std::memory_order_acquire) != THREAD_RUNNING)
            continue;
        const uint8_t command = com_.threadCommand.load(std::memory_order_acquire);
        const uint8_t state = com_.state.load(std::memory_order_acquire);
        if (state == PORT_CLOSED && command == COMMAND_OPEN && !Open(serial))
            break;
        if (state == PORT_OPEN && command == COMMAND_CLOSE) {
            Close(serial);
            break;
        }
        if (com_.state.load(std::memory_order_acquire) != PORT_OPEN)
            continue;
        Write(serial);
        Read(serial);
        if (DeviceLost(serial)) {
            TraceLinef("\n[%i:TMR=%i]LOST %s\n", com_.portNumber, TickMs.load(), com_.deviceName.c_str());
            com_.error.store(PORT_ERROR_LOST, std::memory_order_release);
            Close(serial);
            break;
        }
    }
    if (serial.isOpen())
        serial.close();
    com_.threadState.store(THREAD_FINISHED, std::memory_order_release);
}

bool PortIoThread::Open(QSerialPort& serial)
{
    TraceLinef("\n[%i:TMR=%i]OPEN %s (%s)\n", com_.portNumber, TickMs.load(), com_.deviceName.c_str(), com_.lineMode);
    com_.state.store(PORT_OPENING, std::memory_order_release);
    serial.setPortName(devicePath_);
    const qint32 baud = static_cast<qint32>(com_.baud.load(std::memory_order_acquire));
    // QSerialPort opens exclusively (a lock file and TIOCEXCL) and keeps the line settings it
    // found, restoring them on close.
    const bool ok = !devicePath_.isEmpty() && serial.open(QIODevice::ReadWrite) && serial.setBaudRate(baud)
        && serial.setParity(QSerialPort::NoParity) && serial.setDataBits(QSerialPort::Data8)
        && serial.setStopBits(QSerialPort::OneStop) && serial.setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        if (serial.isOpen())
            serial.close();
        com_.threadCommand.store(COMMAND_NONE, std::memory_order_release);
        com_.error.store(PORT_ERROR_OPEN, std::memory_order_release);
        com_.state.store(PORT_CLOSED, std::memory_order_release);
        return false;
    }
    serial.setReadBufferSize(DRIVER_INPUT_QUEUE);
    serial.clear(QSerialPort::AllDirections);
    com_.rxRead.store(0, std::memory_order_relaxed);
    com_.rxWrite.store(0, std::memory_order_release);
    // Bytes a sender left behind when the port was last lost or closed never reach the new line.
    com_.txLength.store(0, std::memory_order_release);
    com_.threadCommand.store(COMMAND_NONE, std::memory_order_release);
    com_.state.store(PORT_OPEN, std::memory_order_release);
    return true;
}

void PortIoThread::Close(QSerialPort& serial)
{
    TraceLinef("\n[%i:TMR=%i]CLOSE %s\n", com_.portNumber, TickMs.load(), com_.deviceName.c_str());
    com_.rxRead.store(0, std::memory_order_relaxed);
    com_.rxWrite.store(0, std::memory_order_release);
    com_.state.store(PORT_CLOSING, std::memory_order_release);
    serial.clear(QSerialPort::AllDirections);
    serial.close();
    com_.threadCommand.store(COMMAND_NONE, std::memory_order_release);
    com_.state.store(PORT_CLOSED, std::memory_order_release);
}

void PortIoThread::Write(QSerialPort& serial)
{
    const uint32_t length = com_.txLength.load(std::memory_order_acquire);
    if (!length)
        return;
    if (com_.txBuffer[0] != 0x30 && Trace::IsOpen()) {
        std::string line = "\n[" + std::to_string(com_.portNumber) + ":TMR=" + std::to_string(TickMs.load()) + "]TX "
            + std::to_string(transmissionCounter++) + ":\n";
        char hex[8];
        for (uint32_t i = 0; i < length; ++i) {
            std::snprintf(hex, sizeof hex, "%02x\t", com_.txBuffer[i]);
            line += hex;
        }
        TraceLine(line + "\n");
    }
    serial.write(reinterpret_cast<const char*>(com_.txBuffer), length);
    serial.waitForBytesWritten(WRITE_TIMEOUT_MS);
    com_.txLength.store(0, std::memory_order_release);
}

void PortIoThread::Read(QSerialPort& serial)
{
    qint64 waiting = serial.bytesAvailable();
    if (waiting <= 0)
        return;
    uint32_t write = com_.rxWrite.load(std::memory_order_relaxed);
    uint32_t first = 0;
    uint32_t second = 0;
    CCOM::FreeParts(com_.rxRead.load(std::memory_order_acquire), write, first, second);
    const qint64 asked = std::min<qint64>(waiting, first);
    const qint64 got = asked > 0 ? serial.read(reinterpret_cast<char*>(com_.rxRing + write), asked) : 0;
    if (got <= 0)
        return;
    write = static_cast<uint32_t>((write + got) % PORT_BUFFER_LEN);
    com_.rxWrite.store(write, std::memory_order_release);
    if (got < asked)
        return;
    waiting = serial.bytesAvailable();
    const qint64 more = std::min<qint64>(waiting, second);
    const qint64 got2 = more > 0 ? serial.read(reinterpret_cast<char*>(com_.rxRing + write), more) : 0;
    if (got2 > 0)
        com_.rxWrite.store(static_cast<uint32_t>((write + got2) % PORT_BUFFER_LEN), std::memory_order_release);
}

bool PortIoThread::DeviceLost(QSerialPort& serial)
{
    switch (serial.error()) {
    case QSerialPort::NoError:
        return false;
    case QSerialPort::TimeoutError:
        serial.clearError();
        return false;
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
        return true;
    default:
        serial.clearError();
        return false;
    }
}
