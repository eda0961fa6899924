#include "platform/serial/QtPortCatalogue.h"

#include "platform/core/PortPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

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

QString QtPortCatalogue::numbersFolder() const {
#ifdef Q_OS_WIN
    return {};
#else
    return portsFolder();
#endif
}

} // namespace kt7
