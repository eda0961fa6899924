#include "platform/serial/QtPortCatalogue.h"

#include "platform/core/PortPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kt7 {

namespace {

// Device path -> the first of its names in /dev/serial/by-id (an adapter with several
// interfaces has one per interface, each leading to its own device).
QHash<QString, QString> stableNames() {
    QHash<QString, QString> names;
#ifndef Q_OS_WIN
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    const QFileInfoList entries = byId.entryInfoList(QDir::System | QDir::Files, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString device = entry.canonicalFilePath();
        if (!device.isEmpty() && !names.contains(device))
            names.insert(device, entry.absoluteFilePath());
    }
#endif
    return names;
}

} // namespace

QList<SystemPort> QtPortCatalogue::systemPorts() const {
    const QHash<QString, QString> names = stableNames();
    QList<SystemPort> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        const QString device = info.systemLocation();
        ports.append({device, names.value(device), info.description(), info.manufacturer(),
                      info.serialNumber()});
    }
    return ports;
}

UartNode QtPortCatalogue::uartNode(const QString& devicePath) const {
    UartNode node;
#ifndef Q_OS_WIN
    node.exists = QFileInfo::exists(devicePath);
    if (!node.exists)
        return node;
    QFile type(QStringLiteral("/sys/class/tty/%1/type").arg(QFileInfo(devicePath).fileName()));
    if (type.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const int value = type.readAll().trimmed().toInt(&ok);
        if (ok) {
            node.type = value;
            return node;
        }
    }
    const int fd = ::open(QFile::encodeName(devicePath).constData(),
                          O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
    else
        node.openError = errno;
#else
    Q_UNUSED(devicePath);
#endif
    return node;
}

QString QtPortCatalogue::numbersFolder() const {
#ifdef Q_OS_WIN
    return {};
#else
    return portsFolder();
#endif
}

} // namespace kt7
