#pragma once

#include "platform/SerialPort.h"

namespace kt7 {

// A serial port read only when asked: nothing watches it between reads, so a logger that reads
// once a second wakes once a second, not once per arriving line. What arrives meanwhile waits in
// the system's buffer (4 KiB, over four seconds of a 9600-baud line). A hang-up or read error is
// noticed at the next look, and reported through failed() after what had arrived is kept.
// It adds no signal or slot of its own, so it needs no meta-object of its own either.
class PolledSerialPort : public SerialPort {
  public:
    // The most received text held for the owner. A look reads only what fits, so a source that
    // never runs dry can neither hold up the tick nor grow the program; what does not fit waits
    // in the system, so readings still leave in the order they came (dropping the oldest lost
    // the lines sent just before a flood). A 9600-baud line brings about 1 KB a second.
    static constexpr qsizetype KeptAtMost = 64 * 1024;

    using SerialPort::SerialPort;
    ~PolledSerialPort() override;

    void setPortNumber(int portNumber) override { number = portNumber; }
    int portNumber() const override { return number; }
    QString devicePath() const override;
    PortOpenResult open() override;
    void close() override;
    bool isOpen() const override { return fd >= 0; }
    qint64 bytesWaiting() override;
    QByteArray readAll() override;

  private:
    void drainSystemBuffer();
    void breakDown(int error);

    int number = 0;
    int fd = -1;
    QByteArray kept; // read from the system and not yet handed out
};

class PolledSerialPortFactory : public SerialPortFactory {
  public:
    std::unique_ptr<SerialPort> create() override;
};

} // namespace kt7
