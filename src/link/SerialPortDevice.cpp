#include "link/SerialPortDevice.h"

#include "base/Trace.h"
#include "link/Doorbell.h"

namespace {

constexpr qint64 DRIVER_INPUT_QUEUE = 10000;

PortFailureCause ReportedCause(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return PortFailureCause::GONE;
    case QSerialPort::PermissionError:
        return PortFailureCause::PERMISSION;
    default:
        return PortFailureCause::OTHER;
    }
}

} // namespace

SerialPortDevice::SerialPortDevice(QString path)
    : path_(std::move(path))
{
}

SerialPortDevice::~SerialPortDevice()
{
    if (serial_.isOpen())
        serial_.close();
}

bool SerialPortDevice::Open(uint32_t baud)
{
    serial_.setPortName(path_);
    // QSerialPort opens exclusively (a lock file and TIOCEXCL) and keeps the line settings it
    // found, restoring them on close.
    const bool ok = !path_.isEmpty() && serial_.open(QIODevice::ReadWrite)
        && serial_.setBaudRate(static_cast<qint32>(baud)) && serial_.setParity(QSerialPort::NoParity)
        && serial_.setDataBits(QSerialPort::Data8) && serial_.setStopBits(QSerialPort::OneStop)
        && serial_.setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        TraceLinef("OPEN %s failed: %s", path_.toLocal8Bit().constData(), serial_.errorString().toLocal8Bit().constData());
        failure_ = PortOpenFailure::Diagnose(
            path_.toStdString(), ReportedCause(serial_.error()), serial_.errorString().toStdString());
        if (serial_.isOpen())
            serial_.close();
        return false;
    }
    serial_.setReadBufferSize(DRIVER_INPUT_QUEUE);
    serial_.clear(QSerialPort::AllDirections);
    return true;
}

void SerialPortDevice::Close()
{
    serial_.clear(QSerialPort::AllDirections);
    serial_.close();
}

void SerialPortDevice::WaitForWork(Doorbell& bell, int ms)
{
    // The descriptor tells when bytes (or a hang-up) arrive; QSerialPort then takes them into its
    // buffer without waiting, and a hang-up becomes the error that Lost reports.
    if (bell.Wait(static_cast<int>(serial_.handle()), ms))
        serial_.waitForReadyRead(0);
}

void SerialPortDevice::Write(const uint8_t* data, uint32_t length)
{
    serial_.write(reinterpret_cast<const char*>(data), length);
    serial_.waitForBytesWritten(WRITE_TIMEOUT_MS);
}

int64_t SerialPortDevice::Read(uint8_t* into, int64_t count)
{
    return serial_.read(reinterpret_cast<char*>(into), count);
}

bool SerialPortDevice::Lost()
{
    switch (serial_.error()) {
    case QSerialPort::NoError:
        return false;
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
        return true;
    default:
        // A time-out or a passing fault leaves the device usable.
        serial_.clearError();
        return false;
    }
}
