#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// kt7-sim run with HOME in a temporary folder (and XDG_CONFIG_HOME unset unless given), so its
// port links never touch the real configuration.
class SimulatorProcess {
  public:
    explicit SimulatorProcess(const QString& xdgConfigHome = {});
    ~SimulatorProcess();

    QString home() const { return home_.path(); }
    QString portsFolder() const;
    QString linkPath(int port) const;

    void start(const QStringList& arguments);
    // Waits for the "ready" line; false when the process ended or did not report in time.
    bool waitUntilReady(int timeoutMs = 5000);
    // The "COM<n> -> <terminal>" lines printed before "ready".
    QStringList announcements() const;
    // Sends the signal and waits for the end; true for a normal exit with code 0.
    bool stopWith(int signal, int timeoutMs = 5000);
    bool finishedCleanly(int timeoutMs = 5000);
    QProcess& process() { return process_; }

  private:
    QTemporaryDir home_;
    QString xdgConfigHome_;
    QProcess process_;
    QByteArray output_;
};

// True when an entry (the link itself, not what it points to) exists at path.
bool entryExists(const QString& path);
