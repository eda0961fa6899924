#include "notify/AlarmCommand.h"

#include "text/NumberText.h"

namespace kt7 {

AlarmCommand::AlarmCommand(const QString& commandLine, Problem tell, int timeLimitMs)
    : tell(std::move(tell)), timeLimitMs(timeLimitMs) {
    arguments = QProcess::splitCommand(commandLine);
    if (!arguments.isEmpty())
        program = arguments.takeFirst();
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, this, [this] {
        if (process)
            process->kill();
    });
}

AlarmCommand::~AlarmCommand() {
    if (process) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
        delete process;
    }
}

QProcessEnvironment AlarmCommand::environmentFor(const AlarmEvent& event, const QString& label,
                                                 const QString& unit) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KT7_DEVICE"), QString::number(event.device + 1));
    env.insert(QStringLiteral("KT7_LABEL"), label);
    env.insert(QStringLiteral("KT7_STATE"), QString(alarmStateName(event)));
    env.insert(QStringLiteral("KT7_VALUE"), event.value ? numberText(*event.value) : QString());
    env.insert(QStringLiteral("KT7_LIMIT"), numberText(event.limit));
    env.insert(QStringLiteral("KT7_UNIT"), unit);
    env.insert(QStringLiteral("KT7_TIME"), offsetTimeText(event.time));
    return env;
}

void AlarmCommand::run(const AlarmEvent& event, const QString& label, const QString& unit) {
    if (program.isEmpty())
        return;
    if (waiting.size() >= MaxWaiting) {
        tellOnce(QStringLiteral("more than %1 alarms waited for it; the newest were not told to it")
                     .arg(MaxWaiting));
        return;
    }
    waiting.push_back(environmentFor(event, label, unit));
    if (!process)
        startNext();
}

void AlarmCommand::startNext() {
    if (waiting.empty()) {
        emit finished();
        return;
    }
    process = new QProcess(this);
    process->setProcessEnvironment(waiting.front());
    waiting.pop_front();
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            ended(QStringLiteral("could not be started: %1").arg(process->errorString()));
    });
    connect(process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        if (limit.isActive() || status == QProcess::NormalExit) {
            limit.stop();
            ended(status == QProcess::CrashExit ? QStringLiteral("crashed")
                  : code != 0 ? QStringLiteral("ended with exit code %1").arg(code)
                              : QString());
        } else {
            ended(QStringLiteral("took longer than %1 s and was stopped")
                      .arg(numberText(timeLimitMs / 1000.0)));
        }
    });
    limit.start(timeLimitMs);
    process->start();
}

void AlarmCommand::ended(const QString& failure) {
    limit.stop();
    if (!failure.isEmpty())
        tellOnce(failure);
    process->disconnect(this);
    process->deleteLater();
    process = nullptr;
    startNext();
}

void AlarmCommand::tellOnce(const QString& failure) {
    if (told.contains(failure))
        return;
    told << failure;
    if (tell)
        tell(QStringLiteral("The alarm command %1 %2.").arg(program, failure));
}

} // namespace kt7
