#include "platform/core/PortPaths.h"

#include <QDir>
#include <QFileInfo>

namespace kt7 {

QString configFolder() {
#ifdef Q_OS_WIN
    // The roaming application data, where Windows programs keep their settings.
    const QString appData = qEnvironmentVariable("APPDATA");
    return appData.isEmpty() ? QDir::homePath() + QStringLiteral("/AppData/Roaming")
                             : QDir::fromNativeSeparators(appData);
#else
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    return xdg.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : xdg;
#endif
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

QString builtInPortPath(int portNumber) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

QString portDevicePath(int portNumber) {
#ifdef Q_OS_WIN
    return builtInPortPath(portNumber);
#else
    const QString entry = portsFolder() + QStringLiteral("/com%1").arg(portNumber);
    const QFileInfo info(entry);
    // A dangling link still names the port the user meant: opening it then says "not found".
    if (info.exists() || info.isSymLink())
        return entry;
    return builtInPortPath(portNumber);
#endif
}

} // namespace kt7
