#include "platform/core/PortNumbering.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>

namespace kt7 {

namespace {

// ttyUSB2 before ttyUSB10: the name without its trailing digits, then the digits as a number.
std::pair<QString, int> deviceOrderKey(const QString& path) {
    qsizetype digits = path.size();
    while (digits > 0 && path[digits - 1].isDigit())
        --digits;
    return {path.left(digits), path.mid(digits).toInt()};
}

int lowestFree(const TakenNumbers& taken) {
    for (int n = 1; n <= HighestPortNumber; ++n)
        if (!taken[n])
            return n;
    return 0;
}

} // namespace

int naturalUartNumber(const QString& devicePath) {
    static const QRegularExpression uart(QStringLiteral("^ttyS([0-9]{1,2})$"));
    const QRegularExpressionMatch match = uart.match(QFileInfo(devicePath).fileName());
    if (!match.hasMatch())
        return 0;
    const int number = match.captured(1).toInt() + 1;
    return number <= HighestPortNumber ? number : 0;
}

bool unlistedUartPresent(const UartNode& node) {
    if (!node.exists)
        return false;
    if (node.type)
        return *node.type != 0;
    switch (node.openError) {
    case 0: // it opened, so the system had the chance to list it and did not
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:
        return false;
    default:
        return true;
    }
}

QString linkTarget(const SystemPort& port) {
    return port.stableName.isEmpty() ? port.devicePath : port.stableName;
}

NumberingPlan planNumbers(TakenNumbers taken, const QList<SystemPort>& unnamed) {
    NumberingPlan plan;
    QList<SystemPort> rest;
    for (const SystemPort& port : unnamed) {
        const int natural = naturalUartNumber(port.devicePath);
        if (natural > 0 && !taken[natural]) {
            taken[natural] = true;
            plan.natural.append(natural);
        } else {
            rest.append(port);
        }
    }
    std::stable_sort(rest.begin(), rest.end(), [](const SystemPort& a, const SystemPort& b) {
        return deviceOrderKey(a.devicePath) < deviceOrderKey(b.devicePath);
    });
    for (const SystemPort& port : rest) {
        const int number = lowestFree(taken);
        if (number == 0) {
            plan.unnumbered.append(port);
            continue;
        }
        taken[number] = true;
        plan.links.append({number, port});
    }
    return plan;
}

} // namespace kt7
