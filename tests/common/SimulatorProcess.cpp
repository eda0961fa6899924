#include "SimulatorProcess.h"

#include "ScratchHome.h"

#include <QDeadlineTimer>
#include <QFile>
#include <csignal>

namespace kt7test {

SimulatorProcess::SimulatorProcess(const QString& home, const QString& xdgConfigHome)
    : xdgConfigHome_(xdgConfigHome) {
    if (home.isEmpty()) {
        ownHome_ = std::make_unique<QTemporaryDir>();
        home_ = ownHome_->path();
    } else {
        home_ = home;
    }
}

SimulatorProcess::~SimulatorProcess() {
    if (process_.state() != QProcess::NotRunning)
        killNow();
}

QString SimulatorProcess::portsFolder() const {
    return kt7test::portsFolder(home_, xdgConfigHome_);
}

QString SimulatorProcess::linkPath(int port) const {
    return portsFolder() + QStringLiteral("/com%1").arg(port);
}

bool SimulatorProcess::start(const QStringList& arguments, int timeoutMs) {
    QProcessEnvironment environment = isolatedEnvironment(home_);
    if (!xdgConfigHome_.isEmpty())
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), xdgConfigHome_);
    process_.setProcessEnvironment(environment);
    process_.start(QStringLiteral(KT7_SIM_PATH), arguments);
    const QDeadlineTimer deadline(timeoutMs);
    while (!stdout_.contains("ready\n")) {
        const bool more = process_.waitForReadyRead(int(deadline.remainingTime()));
        stdout_ += process_.readAllStandardOutput();
        if (!more)
            return stdout_.contains("ready\n");
    }
    return true;
}

QStringList SimulatorProcess::announcements() {
    QStringList lines = QString::fromLatin1(standardOutput()).split('\n', Qt::SkipEmptyParts);
    lines.removeAll(QStringLiteral("ready"));
    return lines;
}

QByteArray SimulatorProcess::standardOutput() {
    stdout_ += process_.readAllStandardOutput();
    return stdout_;
}

QString SimulatorProcess::output() {
    return QString::fromLocal8Bit(standardOutput() + "\n--- stderr:\n" +
                                  process_.readAllStandardError());
}

bool SimulatorProcess::stopWith(int signal, int timeoutMs) {
    ::kill(pid_t(process_.processId()), signal);
    return finishedCleanly(timeoutMs);
}

bool SimulatorProcess::stop() {
    return stopWith(SIGTERM);
}

void SimulatorProcess::killNow() {
    process_.kill();
    process_.waitForFinished(10000);
}

bool SimulatorProcess::finishedCleanly(int timeoutMs) {
    return process_.waitForFinished(timeoutMs) && process_.exitStatus() == QProcess::NormalExit &&
           process_.exitCode() == 0;
}

QList<SentLine> readSentLog(const QString& path, int port) {
    QList<SentLine> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() < 3 || parts[2].isEmpty() || (port != 0 && parts[1].toInt() != port))
            continue;
        lines.append({parts[0].toLongLong(), parts[1].toInt(), parts[2],
                      parts.size() > 3 && parts[3] == "dropped"});
    }
    return lines;
}

} // namespace kt7test
