#pragma once

#include "platform/SerialPort.h"

namespace kt7 {

// A Windows COM port read only when asked, as the polled reader is on Linux: the comm time-outs
// make ReadFile return at once with what has arrived, so a logger that reads once a second wakes
// once a second. What arrives meanwhile waits in the driver's input queue. A pulled adapter or a
// failing read is noticed at the next look and reported through failed() after what had arrived
// is kept.
class WinSerialPort : public SerialPort {
  public:
    // The most received text held for the owner; the rest waits in the driver, in order.
    static constexpr qsizetype KeptAtMost = 64 * 1024;

    using SerialPort::SerialPort;
    ~WinSerialPort() override;

    void setPortNumber(int portNumber) override { number = portNumber; }
    int portNumber() const override { return number; }
    QString devicePath() const override;
    PortOpenResult open() override;
    void close() override;
    bool isOpen() const override { return handle != nullptr; }
    qint64 bytesWaiting() override;
    QByteArray readAll() override;

  private:
    void drainDriverQueue();
    void breakDown(unsigned long error);

    int number = 0;
    void* handle = nullptr; // the open port's HANDLE
    QByteArray kept;        // read from the driver and not yet handed out
};

class WinSerialPortFactory : public SerialPortFactory {
  public:
    std::unique_ptr<SerialPort> create() override;
};

} // namespace kt7
