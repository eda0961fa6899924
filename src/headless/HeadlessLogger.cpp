#include "headless/HeadlessLogger.h"

#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "publish/MqttPublisher.h"
#include "record/LoggerMessages.h"

namespace kt7 {

HeadlessLogger::HeadlessLogger(LoggerOptions options, SerialPortFactory& ports, Clock& clock,
                               MessageBoxes& errors, StatusOutput status, CodePage codePage,
                               QString logFolder)
    : options(std::move(options)), clock(clock), errors(errors), status(std::move(status)),
      session(ports, clock, errors, std::move(codePage), std::move(logFolder)) {
    // Nobody is there to see a box pile up: every lost link is told.
    session.links().tellEveryLoss(true);
    connect(&session.links(), &LinkController::linked, this, [this](int i, bool again) {
        this->status(QStringLiteral("Device %1 (%2) linked%3: %4 %5")
                         .arg(QString::number(i + 1), session.links().portName(i),
                              again ? QStringLiteral(" again") : QString(),
                              session.slot(i).valueText, session.slot(i).unit));
    });
    tickTimer.setInterval(1000);
    statusTimer.setInterval(this->options.statusEverySeconds * 1000);
    connect(&tickTimer, &QTimer::timeout, this, &HeadlessLogger::tick);
    connect(&statusTimer, &QTimer::timeout, this, [this] { this->status(statusLine()); });
}

int HeadlessLogger::start() {
    const std::optional<SetupFileContent> setup = session.readSetup(options.setupPath);
    if (!setup || !session.applySetup(options.setupPath, *setup))
        return CannotLog;
    session.applyOptions(options);
    // Linked first, so the header holds the units the devices send.
    starting = true;
    startCode = 0;
    session.links().linkSeveral(session.devicesWithPort(), LinkController::Several::KeepTrying,
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
    if (session.sampling().autoSample == 0)
        errors.show(QStringLiteral("Automatic sampling is off in the set-up file and --auto was "
                                   "not given: no row will be logged."));
    tickTimer.start();
    statusTimer.start();
    status(statusLine());
}

int HeadlessLogger::finish() {
    tickTimer.stop();
    statusTimer.stop();
    const std::optional<QString> failure = session.closeLog();
    // The last rows are sent before the end while the broker is there; it never holds up long.
    if (MqttPublisher* publisher = session.publisher())
        publisher->drain(5000);
    status(statusLine());
    if (!failure)
        return 0;
    errors.show(*failure);
    return CannotLog;
}

void HeadlessLogger::loggingStopped(const QString& path, const LogFileError& cause,
                                    qint32 lastSample) {
    errors.show(loggingStoppedText(path, cause, lastSample));
    emit cannotGoOn(CannotLog);
}

QString HeadlessLogger::statusLine() const {
    QStringList devices;
    for (int i = 0; i < DeviceCount; ++i)
        if (session.slot(i).link == LinkState::Linked)
            devices << QString::number(i + 1);
    const Recorder& recorder = session.recording();
    const TickDurations& ticks = recorder.durations();
    QString line = QStringLiteral("%1 rows written %2, devices linked %3 (%4), tick %5 ms mean "
                                  "%6 ms longest")
                       .arg(clock.now().toUTC().toString(Qt::ISODate))
                       .arg(recorder.sampleCount())
                       .arg(devices.size())
                       .arg(devices.join(QLatin1Char(' ')))
                       .arg(QString::number(ticks.meanMs(), 'f', 3),
                            QString::number(ticks.longestMs(), 'f', 3));
    if (recorder.stepFailures() > 0)
        line += QStringLiteral(", %1 tick steps failed").arg(recorder.stepFailures());
    return line + session.publishingStatus();
}

} // namespace kt7
