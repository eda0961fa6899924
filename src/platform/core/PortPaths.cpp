#include "platform/core/PortPaths.h"

#include <QDir>
#include <QFileInfo>

namespace kt7 {

QString configFolder() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    return xdg.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : xdg;
}

QString homeLogFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\KT7 Log\\");
#else
    return QDir::homePath() + QStringLiteral("/KT7 Log/");
#endif
}

QString portsFolder() {
    return configFolder() + QStringLiteral("/kt7-logger/ports");
}

QString portDevicePath(int portNumber) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    const QString entry = portsFolder() + QStringLiteral("/com%1").arg(portNumber);
    const QFileInfo info(entry);
    // A dangling link still names the port the user meant: opening it then says "not found".
    if (info.exists() || info.isSymLink())
        return entry;
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

} // namespace kt7
