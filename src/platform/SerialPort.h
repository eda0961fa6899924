#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

namespace kt7 {

// Why an open failed. NotFound is the "port number does not exist" outcome that the start-up
// probe relies on; every other failure still counts as a port that exists.
enum class PortOpenError { None, NotFound, PermissionDenied, Busy, Other };

struct PortOpenResult {
    PortOpenError error = PortOpenError::None;
    QString reason; // the system's wording, empty on success
    bool ok() const { return error == PortOpenError::None; }
};

// One serial port at 9600 baud, no parity, 8 data bits, 1 stop bit. The program only listens.
class SerialPort : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~SerialPort() override = default;

    virtual void setPortNumber(int number) = 0; // 1 = COM1
    virtual int portNumber() const = 0;
    virtual QString devicePath() const = 0; // what the port number maps to on this system
    virtual PortOpenResult open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual qint64 bytesWaiting() = 0; // characters received and not yet read
    virtual QByteArray readAll() = 0;  // every waiting character, removed from the buffer

  signals:
    // The port broke while open (adapter pulled out, far end gone) and has been closed. What it
    // had received before is still there for readAll, until the next open or close.
    void failed(const QString& reason);
};

class SerialPortFactory {
  public:
    virtual ~SerialPortFactory() = default;
    virtual std::unique_ptr<SerialPort> create() = 0;
};

} // namespace kt7
