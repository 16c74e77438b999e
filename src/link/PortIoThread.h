#pragma once

#include <QString>
#include <QThread>

#include <atomic>
#include <memory>

struct PortRecord;
class PortChannel;
class PortDevice;

// The I/O thread of one port: it owns the port's device (a QSerialPort, or the port end of an
// in-process line when the port is mapped to one) and does every blocking call, moving bytes
// between the device and the port record's transmit buffer and receive ring. Between passes it
// sleeps until bytes arrive, a sender hands bytes over, a command comes or the link stops (the
// port's bell), so an idle port costs nothing; it ends when the port is closed, the open fails,
// the device is lost or the link stops.
class PortIoThread : public QThread {
public:
    // channel is null for a serial device of the system.
    PortIoThread(PortRecord& com, QString devicePath, std::shared_ptr<PortChannel> channel, const std::atomic<int>& linkStop);

protected:
    void run() override;

private:
    std::unique_ptr<PortDevice> MakeDevice() const;
    // One pass over the command, the transmit buffer and the receive ring; false ends the thread.
    bool Pass(PortDevice& device);
    void Sleep(PortDevice& device);
    // Bytes wait in the device that the full ring cannot take yet.
    bool WaitsForRoom(PortDevice& device) const;
    bool Open(PortDevice& device);
    void Close(PortDevice& device);
    void Write(PortDevice& device);
    void Read(PortDevice& device);

    PortRecord& com_;
    QString devicePath_;
    std::shared_ptr<PortChannel> channel_;
    const std::atomic<int>& linkStop_;
};
