#include "platform/serial/QtSerialPort.h"

#include "platform/core/PortPaths.h"

#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <unistd.h>
#endif

namespace kt7 {

namespace {

bool accessibleForReading(const QString& path) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return true;
#else
    return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
#endif
}

bool isBuiltInUart(const QString& path) {
    return path.startsWith(QStringLiteral("/dev/ttyS"));
}

} // namespace

QtSerialPort::QtSerialPort(QObject* parent) : SerialPort(parent) {
    connect(&port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

void QtSerialPort::setPortNumber(int portNumber) {
    number = portNumber;
}

QString QtSerialPort::devicePath() const {
    return portDevicePath(number);
}

PortOpenResult QtSerialPort::open() {
    if (port.isOpen())
        return {PortOpenError::Busy, QStringLiteral("The port is already open")};
    const QString path = devicePath();
    salvaged.clear();
#ifndef Q_OS_WIN
    // QSerialPort writes and syncs a lock file before it notices a missing device; the start-up
    // probe tries 80 times, so absent ports are answered here. A dangling link is absent too.
    if (!QFileInfo::exists(path))
        return {PortOpenError::NotFound, QStringLiteral("No such file or directory")};
#endif
    port.setPortName(path);
    // Unbounded by default: a device flooding far beyond 9600 baud (a USB CDC device, a
    // pseudo-terminal) would grow the program between ticks. 16 KiB is about 17 s of the line
    // rate; beyond it the system's own buffer holds the rest.
    port.setReadBufferSize(ReadBufferBytes);
    if (!port.open(QIODevice::ReadOnly)) {
        const QString reason = port.errorString();
        const QSerialPort::SerialPortError error = port.error();
        port.clearError();
        if (error == QSerialPort::DeviceNotFoundError)
            return {PortOpenError::NotFound, reason};
        // A ttyS node with no UART behind it is no port at all.
        if (isBuiltInUart(path) && (error == QSerialPort::ResourceError ||
                                    reason.contains(QStringLiteral("No such device"))))
            return {PortOpenError::NotFound, reason};
        if (error == QSerialPort::PermissionError)
            return accessibleForReading(path)
                       ? PortOpenResult{PortOpenError::Busy, reason}
                       : PortOpenResult{PortOpenError::PermissionDenied, reason};
        return {PortOpenError::Other, reason};
    }
    // Pseudo-terminals and some adapters refuse a few of these; the line still reads fine.
    port.setBaudRate(QSerialPort::Baud9600);
    port.setParity(QSerialPort::NoParity);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    port.clearError();
    return {};
}

void QtSerialPort::close() {
    salvaged.clear();
    if (port.isOpen())
        port.close();
}

// QSerialPort only reads the system buffer when its notifier runs; after a blocking wait
// nothing has run, so ask it to look now.
void QtSerialPort::pullFromSystem() {
    if (port.isOpen())
        port.waitForReadyRead(0);
}

qint64 QtSerialPort::bytesWaiting() {
    pullFromSystem();
    return salvaged.size() + (port.isOpen() ? port.bytesAvailable() : 0);
}

QByteArray QtSerialPort::readAll() {
    pullFromSystem();
    return std::exchange(salvaged, {}) + (port.isOpen() ? port.readAll() : QByteArray());
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    // A poll with nothing pending reports a time-out, and a good open reports NoError.
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    if (!port.isOpen())
        return;
    const QString reason = port.errorString();
#ifndef Q_OS_WIN
    // QSerialPort calls a read that found nothing (EAGAIN: its notifier fired after the tick's
    // own read had emptied the port, as under a flood) a resource error; the line is fine.
    if (error == QSerialPort::ResourceError && reason == qt_error_string(EAGAIN)) {
        port.clearError();
        return;
    }
#endif
    // What the port had already read still reaches the owner's next readAll.
    salvaged += port.readAll();
    // A broken line reports errors endlessly while open: close it once and tell the owner.
    port.close();
    port.clearError();
    emit failed(reason);
}

} // namespace kt7
