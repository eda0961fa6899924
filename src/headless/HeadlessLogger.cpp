#include "headless/HeadlessLogger.h"

#include "alarms/AlarmText.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "session/LogMessages.h"

namespace kt7 {

HeadlessLogger::HeadlessLogger(LoggerOptions options, SerialPortFactory& ports, Clock& clock,
                               MessageBoxes& errors, StatusOutput status, CodePage codePage,
                               QString logFolder)
    : options(std::move(options)), clock(clock), errors(errors), status(std::move(status)),
      session(ports, clock, errors, std::move(codePage), std::move(logFolder)) {
    // Nobody is there to see a box pile up: every lost link is told.
    session.tellEveryLoss(true);
    session.clearCaptions();
    connect(&session, &LoggerSession::linked, this, [this](int i, bool again) {
        this->status(QStringLiteral("Device %1 (%2) linked%3: %4 %5")
                         .arg(QString::number(i + 1), session.portName(i),
                              again ? QStringLiteral(" again") : QString(),
                              session.slot(i).valueText, session.slot(i).unit));
    });
    session.setLogSplit(this->options.newFile);
    connect(&session, &LoggerSession::logFileStarted, this, [this](const QString& path) {
        this->status(QStringLiteral("Logging to \"%1\"").arg(path));
    });
    // One line per alarm raised or ended; the service manager's status counts them at once.
    connect(&session, &LoggerSession::alarmChanged, this, [this](const AlarmEvent& event) {
        const DeviceSlot& slot = session.slot(event.device);
        this->status(this->clock.now().toUTC().toString(Qt::ISODate) + QLatin1Char(' ') +
                     alarmEventText(event, slot.label, slot.unit));
        serviceManager.status(statusLine());
    });
    connect(&session, &LoggerSession::alarmProblem, this,
            [this](const QString& text) { this->errors.show(text); });
    tickTimer.setInterval(1000);
    statusTimer.setInterval(this->options.statusEverySeconds * 1000);
    connect(&tickTimer, &QTimer::timeout, this, &HeadlessLogger::tick);
    connect(&statusTimer, &QTimer::timeout, this, [this] { report(); });
}

// The watchdog is petted from the tick, so a tick stuck on a hung disk is noticed.
void HeadlessLogger::tick() {
    session.tick(*this);
    serviceManager.watchdog();
}

void HeadlessLogger::report(const QString& more) {
    const QString line = statusLine() + more;
    status(line);
    serviceManager.status(line);
}

int HeadlessLogger::start() {
    const std::optional<SetupFileContent> setup = session.readSetup(options.setupPath);
    if (!setup)
        return CannotLog;
    // Nothing is shown before the link: a tare takes the first reading the link finds.
    const auto anyPort = [](int, int port) { return port > 0; };
    if (!session
             .applySetup(options.setupPath, *setup, LoggerSession::TareFrom::FirstReadingOfLink,
                         anyPort)
             .whole)
        return CannotLog;
    session.applyOptions(options);
    // Linked first, so the header holds the units the devices send.
    starting = true;
    startCode = 0;
    session.linkSeveral(session.devicesWithPort(), LinkController::Several::KeepTrying,
                        [this] { startLogging(); });
    starting = false;
    return startCode;
}

void HeadlessLogger::startLogging() {
    if (!session.openLog(options.logPath, LoggerSession::LogOpening::Unattended)) {
        startCode = CannotLog;
        if (!starting)
            emit cannotGoOn(CannotLog);
        return;
    }
    tickTimer.start();
    statusTimer.start();
    status(statusLine());
    serviceManager.ready(statusLine());
}

int HeadlessLogger::finish() {
    serviceManager.stopping();
    const bool logging = tickTimer.isActive() && !stopped;
    tickTimer.stop();
    statusTimer.stop();
    // The readings that came in since the last tick are logged as the next tick would have.
    if (logging)
        session.tick(*this);
    const std::optional<QString> failure = session.closeLog();
    // The last alarms still reach the user's command.
    session.alarmCommandsDone(10000);
    const QString drained = session.finishPublishing(options.mqttDrainSeconds);
    report(drained);
    if (failure)
        errors.show(*failure);
    return failure || stopped ? CannotLog : 0;
}

void HeadlessLogger::loggingStopped(const QString& path, const LogFileError& cause,
                                    qint32 lastSample) {
    stopped = true;
    errors.show(loggingStoppedText(path, cause, lastSample));
    emit cannotGoOn(CannotLog);
}

QString HeadlessLogger::statusLine() const {
    return clock.now().toUTC().toString(Qt::ISODate) + QLatin1Char(' ') + session.statusText();
}

} // namespace kt7
