#include "platform/core/ComPortMap.h"

#include "platform/core/PortNumbering.h"
#include "platform/core/PortPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace kt7 {

namespace {

QString entryPath(const QString& folder, int number) {
    return folder + QStringLiteral("/com%1").arg(number);
}

bool entryExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool names(const SystemPort& port, const QString& path) {
    return !path.isEmpty() && (path == port.devicePath || path == port.stableName);
}

QString describe(const SystemPort& port) {
    QStringList parts;
    for (const QString& part : {port.description, port.manufacturer})
        if (!part.isEmpty() && !parts.contains(part))
            parts.append(part);
    if (!port.serialNumber.isEmpty())
        parts.append(QStringLiteral("serial number ") + port.serialNumber);
    return parts.join(QStringLiteral(", "));
}

QList<ComPortRow> readRows(const QString& folder, const QList<SystemPort>& ports) {
    QList<ComPortRow> rows;
    for (int n = 1; n <= HighestPortNumber; ++n) {
        ComPortRow row{n, {}, {}, {}};
        const QString entry = folder.isEmpty() ? QString() : entryPath(folder, n);
        if (!entry.isEmpty() && entryExists(entry)) {
            row.entry = entry;
            const QFileInfo info(entry);
            row.target = info.isSymLink() ? info.symLinkTarget() : entry;
            row.port = portBehind(entry, ports);
            row.present = row.port.has_value() || info.exists();
        } else {
            row.target = builtInPortPath(n);
            row.port = portBehind(row.target, ports);
            if (!row.port)
                continue;
            row.present = true;
        }
        rows.append(row);
    }
    return rows;
}

} // namespace

std::optional<SystemPort> portBehind(const QString& path, const QList<SystemPort>& ports) {
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : QString();
    const QString device = info.exists() ? info.canonicalFilePath() : QString();
    for (const SystemPort& port : ports)
        if (names(port, path) || names(port, target) || names(port, device))
            return port;
    return std::nullopt;
}

ComPortMap assignPortNumbers(const PortCatalogue& catalogue) {
    QList<SystemPort> ports = catalogue.systemPorts();
    // A UART the user cannot open yet keeps its number, so an adapter never takes it for good.
    for (int n = 1; n <= HighestPortNumber; ++n) {
        const QString uart = QStringLiteral("/dev/ttyS%1").arg(n - 1);
        const bool listed = std::any_of(ports.begin(), ports.end(), [&](const SystemPort& port) {
            return port.devicePath == uart;
        });
        if (!listed && unlistedUartPresent(catalogue.uartNode(uart)))
            ports.append(SystemPort{uart, {}, {}, {}, {}});
    }
    const QString folder = catalogue.numbersFolder();
    ComPortMap map;
    map.ports = ports;
    map.rows = readRows(folder, ports);
    if (folder.isEmpty())
        return map;

    TakenNumbers taken{};
    QList<SystemPort> unnamed;
    for (const ComPortRow& row : std::as_const(map.rows))
        taken[row.number] = !row.entry.isEmpty();
    for (const SystemPort& port : ports) {
        const bool named = std::any_of(map.rows.begin(), map.rows.end(), [&](const ComPortRow& r) {
            return !r.entry.isEmpty() && r.port && r.port->devicePath == port.devicePath;
        });
        if (!named)
            unnamed.append(port);
    }
    const NumberingPlan plan = planNumbers(taken, unnamed);
    map.unnumbered = plan.unnumbered;
    if (!plan.links.isEmpty() && !QDir().mkpath(folder))
        map.problems.append(QStringLiteral("%1 could not be created").arg(folder));
    for (const auto& [number, port] : plan.links) {
        // A link that appeared since the folder was read (another instance) is left alone.
        if (QFile::link(linkTarget(port), entryPath(folder, number))) {
            map.assigned.append(number);
        } else {
            map.problems.append(QStringLiteral("%1 could not be linked to %2")
                                    .arg(entryPath(folder, number), linkTarget(port)));
        }
    }
    if (!map.assigned.isEmpty())
        map.rows = readRows(folder, ports);
    return map;
}

QString portToolTip(const QString& path, const std::optional<SystemPort>& port) {
    QStringList lines{path};
    const QFileInfo info(path);
    if (info.isSymLink())
        lines.append(QStringLiteral("\u2192 ") + info.symLinkTarget());
    if (port && !lines.contains(port->devicePath))
        lines.append(QStringLiteral("Device: ") + port->devicePath);
    if (port && !port->description.isEmpty())
        lines.append(port->description);
    if (port && !port->manufacturer.isEmpty())
        lines.append(QStringLiteral("Maker: ") + port->manufacturer);
    if (port && !port->serialNumber.isEmpty())
        lines.append(QStringLiteral("Serial number: ") + port->serialNumber);
    return lines.join(QLatin1Char('\n'));
}

QString portMapText(const ComPortMap& map) {
    QString text;
    for (const ComPortRow& row : map.rows) {
        text += QStringLiteral("COM %1\t%2\t%3\t%4\n")
                    .arg(QString::number(row.number), row.target,
                         row.present ? QStringLiteral("present") : QStringLiteral("absent"),
                         row.port ? describe(*row.port) : QString());
    }
    for (const SystemPort& port : map.unnumbered)
        text += QStringLiteral("none\t%1\tpresent, no free number from COM 1 to COM %2\t%3\n")
                    .arg(port.devicePath, QString::number(HighestPortNumber), describe(port));
    for (const QString& problem : map.problems)
        text += QStringLiteral("problem\t%1\n").arg(problem);
    return text;
}

} // namespace kt7
