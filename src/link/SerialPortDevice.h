#pragma once

#include "link/PortDevice.h"

#include <QSerialPort>
#include <QString>

// A serial device of the system (a COM port, a USB adapter, a pseudo-terminal) through QSerialPort.
class SerialPortDevice : public PortDevice {
public:
    explicit SerialPortDevice(QString path);
    ~SerialPortDevice() override;

    bool Open(uint32_t baud) override;
    PortOpenFailure OpenFailure() const override { return failure_; }
    void Close() override;
    bool IsOpen() const override { return serial_.isOpen(); }
    void WaitForWork(Doorbell& bell, int ms) override;
    void Write(const uint8_t* data, uint32_t length) override;
    int64_t BytesWaiting() override { return serial_.bytesAvailable(); }
    int64_t Read(uint8_t* into, int64_t count) override;
    bool Lost() override;

private:
    QSerialPort serial_;
    QString path_;
    PortOpenFailure failure_;
};
