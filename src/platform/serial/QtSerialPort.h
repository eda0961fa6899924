#pragma once

#include "platform/SerialPort.h"

#include <QSerialPort>

namespace kt7 {

// A device port over QSerialPort at 9600 8N1, read only.
class QtSerialPort : public SerialPort {
    Q_OBJECT
  public:
    static constexpr qint64 ReadBufferBytes = 16 * 1024;

    explicit QtSerialPort(QObject* parent = nullptr);

    void setPortNumber(int number) override;
    int portNumber() const override { return number; }
    QString devicePath() const override;
    PortOpenResult open() override;
    void close() override;
    bool isOpen() const override { return port.isOpen(); }
    qint64 bytesWaiting() override;
    QByteArray readAll() override;

  private:
    void onError(QSerialPort::SerialPortError error);
    void pullFromSystem();

    QSerialPort port;
    QByteArray salvaged; // what the port had read when it broke, until readAll takes it
    int number = 0;
};

} // namespace kt7
