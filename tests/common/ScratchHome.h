#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QString>

// A scratch home folder for the program under test: where its port entries live, entries that
// lead nowhere, and HOME pointing there for this process or a child.
namespace kt7test {

inline constexpr int PortCount = 10;

// The port entries' folder when HOME is home and XDG_CONFIG_HOME is configHome (empty: unset).
inline QString portsFolder(const QString& home, const QString& configHome = {}) {
    const QString config = configHome.isEmpty() ? home + QStringLiteral("/.config") : configHome;
    return config + QStringLiteral("/kt7-logger/ports");
}

// Every port entry com1..com10 not there yet as a link to a path that does not exist, so that
// opening any port the test does not serve fails with "not found" instead of falling back to the
// machine's own /dev/ttyS<n-1>. Entries already there (a simulator's) stay as they are.
inline bool makeDanglingPorts(const QString& home) {
    const QString folder = portsFolder(home);
    if (!QDir().mkpath(folder))
        return false;
    for (int n = 1; n <= PortCount; ++n) {
        const QString entry = folder + QStringLiteral("/com%1").arg(n);
        const QFileInfo info(entry);
        if (!info.isSymLink() && !info.exists() &&
            !QFile::link(home + QStringLiteral("/no-such-port/com%1").arg(n), entry))
            return false;
    }
    return true;
}

// The system environment with HOME moved to home, XDG_CONFIG_HOME removed and no display.
inline QProcessEnvironment isolatedEnvironment(const QString& home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// Sets HOME and clears XDG_CONFIG_HOME for this process; on destruction both are as they were,
// whatever the test set in between.
class HomeOverride {
  public:
    explicit HomeOverride(const QString& home)
        : oldHome(qgetenv("HOME")), oldXdg(qgetenv("XDG_CONFIG_HOME")),
          hadXdg(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
        qputenv("HOME", QFile::encodeName(home));
        qunsetenv("XDG_CONFIG_HOME");
    }
    ~HomeOverride() {
        qputenv("HOME", oldHome);
        if (hadXdg)
            qputenv("XDG_CONFIG_HOME", oldXdg);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    HomeOverride(const HomeOverride&) = delete;
    HomeOverride& operator=(const HomeOverride&) = delete;

  private:
    QByteArray oldHome;
    QByteArray oldXdg;
    bool hadXdg;
};

} // namespace kt7test
