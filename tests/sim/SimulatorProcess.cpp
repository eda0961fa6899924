#include "SimulatorProcess.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <csignal>
#include <sys/stat.h>

SimulatorProcess::SimulatorProcess(const QString& xdgConfigHome) : xdgConfigHome_(xdgConfigHome) {}

SimulatorProcess::~SimulatorProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString SimulatorProcess::portsFolder() const {
    const QString config = xdgConfigHome_.isEmpty() ? home() + "/.config" : xdgConfigHome_;
    return config + "/kt7-logger/ports";
}

QString SimulatorProcess::linkPath(int port) const {
    return portsFolder() + "/com" + QString::number(port);
}

void SimulatorProcess::start(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home());
    environment.remove("XDG_CONFIG_HOME");
    if (!xdgConfigHome_.isEmpty())
        environment.insert("XDG_CONFIG_HOME", xdgConfigHome_);
    process_.setProcessEnvironment(environment);
    process_.start(QStringLiteral(KT7_SIM_PATH), arguments);
}

bool SimulatorProcess::waitUntilReady(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!output_.contains("ready\n")) {
        if (!process_.waitForReadyRead(int(deadline.remainingTime())))
            return false;
        output_ += process_.readAllStandardOutput();
    }
    return true;
}

QStringList SimulatorProcess::announcements() const {
    QStringList lines = QString::fromLatin1(output_).split('\n', Qt::SkipEmptyParts);
    lines.removeAll("ready");
    return lines;
}

bool SimulatorProcess::stopWith(int signal, int timeoutMs) {
    ::kill(pid_t(process_.processId()), signal);
    return finishedCleanly(timeoutMs);
}

bool SimulatorProcess::finishedCleanly(int timeoutMs) {
    return process_.waitForFinished(timeoutMs) && process_.exitStatus() == QProcess::NormalExit &&
           process_.exitCode() == 0;
}

bool entryExists(const QString& path) {
    struct stat info {};
    return ::lstat(path.toLocal8Bit().constData(), &info) == 0;
}
