#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace kt7test {

// kt7-sim run with HOME in a scratch folder (XDG_CONFIG_HOME unset unless given), so its port
// links never touch the real configuration; killed on destruction if still running.
class SimulatorProcess {
  public:
    // An empty home: a temporary folder of its own.
    explicit SimulatorProcess(const QString& home = {}, const QString& xdgConfigHome = {});
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    QString home() const { return home_; }
    QString portsFolder() const;
    QString linkPath(int port) const;

    // Starts it and waits for the "ready" line; false when it ended or did not report in time
    // (output() tells why).
    bool start(const QStringList& arguments, int timeoutMs = 15000);
    // The "COM<n> -> <terminal>" lines printed before "ready".
    QStringList announcements();
    // Everything it printed so far.
    QByteArray standardOutput();
    QString output();
    // Sends the signal and waits for the end; true for a normal exit with code 0.
    bool stopWith(int signal, int timeoutMs = 10000);
    bool stop();    // SIGTERM
    void killNow(); // SIGKILL: the instrument side vanishes at once, like a pulled cable
    bool finishedCleanly(int timeoutMs = 10000);
    QProcess& process() { return process_; }

  private:
    std::unique_ptr<QTemporaryDir> ownHome_;
    QString home_;
    QString xdgConfigHome_;
    QProcess process_;
    QByteArray stdout_;
};

// One line of the simulator's sent log: "<epoch ms> <port> <value> [dropped]".
struct SentLine {
    qint64 epochMs = 0;
    int port = 0;
    QByteArray value;
    bool dropped = false;
};
// The lines logged for one port (0: every port), in order.
QList<SentLine> readSentLog(const QString& path, int port = 0);

} // namespace kt7test
