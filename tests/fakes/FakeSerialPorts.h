#pragma once

#include "platform/SerialPort.h"

#include <QHash>
#include <QList>
#include <QSet>

namespace kt7test {

class FakeSerialPort;

// The wires behind the fake ports: which port numbers exist, how opening them fails, and the
// bytes a device sends. Bytes sent to a port number reach the one fake port open on it; bytes
// sent while no port is open are lost, as on a real line.
class FakeSerialPorts : public kt7::SerialPortFactory {
  public:
    std::unique_ptr<kt7::SerialPort> create() override;

    void addPort(int number) { existing.insert(number); }
    void removePort(int number) { existing.remove(number); }
    void setOpenError(int number, kt7::PortOpenError error, const QString& reason = {});
    void send(int number, const QByteArray& bytes);
    // Bytes that arrive on the next call of deliverPending (a fake clock's wait calls it).
    void sendDuringWait(int number, const QByteArray& bytes) { pending[number] += bytes; }
    void deliverPending();
    // The far end breaks: an open port on that number fails and closes.
    void breakPort(int number, const QString& reason = QStringLiteral("Input/output error"));

    int openAttempts(int number) const { return attempts.value(number); }
    int totalOpenAttempts() const;
    FakeSerialPort* openPortOn(int number) const;
    const QList<FakeSerialPort*>& allPorts() const { return ports; }

  private:
    friend class FakeSerialPort;
    QSet<int> existing;
    QHash<int, std::pair<kt7::PortOpenError, QString>> openErrors;
    QHash<int, QByteArray> pending;
    QHash<int, int> attempts;
    QList<FakeSerialPort*> ports;
};

class FakeSerialPort : public kt7::SerialPort {
    Q_OBJECT
  public:
    explicit FakeSerialPort(FakeSerialPorts& wires) : wires(wires) {}
    ~FakeSerialPort() override;

    void setPortNumber(int number) override { port = number; }
    int portNumber() const override { return port; }
    QString devicePath() const override { return QStringLiteral("/dev/fake%1").arg(port); }
    kt7::PortOpenResult open() override;
    void close() override;
    bool isOpen() const override { return opened; }
    qint64 bytesWaiting() override { return buffer.size(); }
    QByteArray readAll() override;

    void receive(const QByteArray& bytes) { buffer += bytes; }
    void fail(const QString& reason);
    int readCalls = 0;

  private:
    FakeSerialPorts& wires;
    int port = 0;
    bool opened = false;
    QByteArray buffer;
};

} // namespace kt7test
