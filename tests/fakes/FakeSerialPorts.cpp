#include "fakes/FakeSerialPorts.h"

namespace kt7test {

std::unique_ptr<kt7::SerialPort> FakeSerialPorts::create() {
    auto port = std::make_unique<FakeSerialPort>(*this);
    ports.append(port.get());
    return port;
}

void FakeSerialPorts::setOpenError(int number, kt7::PortOpenError error, const QString& reason) {
    openErrors.insert(number, {error, reason});
}

void FakeSerialPorts::send(int number, const QByteArray& bytes) {
    if (FakeSerialPort* port = openPortOn(number))
        port->receive(bytes);
}

void FakeSerialPorts::deliverPending() {
    const auto batch = std::exchange(pending, {});
    for (auto it = batch.begin(); it != batch.end(); ++it)
        send(it.key(), it.value());
}

void FakeSerialPorts::breakPort(int number, const QString& reason) {
    if (FakeSerialPort* port = openPortOn(number))
        port->fail(reason);
}

int FakeSerialPorts::totalOpenAttempts() const {
    int total = 0;
    for (int count : attempts)
        total += count;
    return total;
}

FakeSerialPort* FakeSerialPorts::openPortOn(int number) const {
    for (FakeSerialPort* port : ports)
        if (port->isOpen() && port->portNumber() == number)
            return port;
    return nullptr;
}

FakeSerialPort::~FakeSerialPort() {
    wires.ports.removeAll(this);
}

kt7::PortOpenResult FakeSerialPort::open() {
    ++wires.attempts[port];
    if (!wires.existing.contains(port))
        return {kt7::PortOpenError::NotFound, QStringLiteral("No such file or directory")};
    if (wires.openErrors.contains(port)) {
        const auto& [error, reason] = wires.openErrors[port];
        return {error, reason};
    }
    if (opened)
        return {kt7::PortOpenError::Busy, QStringLiteral("Port already open")};
    opened = true;
    return {};
}

void FakeSerialPort::close() {
    opened = false;
    buffer.clear();
}

QByteArray FakeSerialPort::readAll() {
    ++readCalls;
    return std::exchange(buffer, {});
}

void FakeSerialPort::fail(const QString& reason) {
    opened = false; // what was received stays readable, as on a real port
    emit failed(reason);
}

} // namespace kt7test
