#pragma once

#include <QString>
#include <QThread>

#include <atomic>

struct CCOM;
class QSerialPort;

// The I/O thread of one port: it owns the port's QSerialPort and does every blocking call, moving
// bytes between the device and the port record's transmit buffer and receive ring. It polls
// every 1 ms while the port is not Closed and every 50 ms otherwise, and ends when the port is
// closed, the open fails, the device is lost or the link stops.
class PortIoThread : public QThread {
public:
    PortIoThread(CCOM& com, QString devicePath, const std::atomic<int>& linkStop);

protected:
    void run() override;

private:
    bool Open(QSerialPort& serial);
    void Close(QSerialPort& serial);
    void Write(QSerialPort& serial);
    void Read(QSerialPort& serial);
    bool DeviceLost(QSerialPort& serial);

    CCOM& com_;
    QString devicePath_;
    const std::atomic<int>& linkStop_;
};
