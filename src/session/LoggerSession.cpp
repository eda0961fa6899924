#include "session/LoggerSession.h"

#include "acquisition/IntervalRules.h"
#include "link/LinkMessages.h"
#include "logfile/CsvFormat.h"
#include "logfile/LogFolder.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "session/LogMessages.h"
#include "setup/SetupFileStore.h"

#include <QFileInfo>
#include <cstdio>

namespace kt7 {

const QString LoggerSession::DefaultLogName = QStringLiteral("KT7_LogData.csv");
const QString LoggerSession::DefaultSetupName = QStringLiteral("KT7LogSetUp.kt7");

LoggerSession::LoggerSession(SerialPortFactory& ports, Clock& clock, MessageBoxes& messages,
                             CodePage codePage, QString logFolder, QLocale dateLocale)
    : clock(clock), messages(messages), pages(std::move(codePage)), folder(std::move(logFolder)),
      recorder(clock, pages, std::move(dateLocale)),
      linker(table, ports, clock, messages, recorder.devicePoller()),
      alarms([this](int device) { return std::pair(table[device].label, table[device].unit); }) {
    recorder.onStepFailure([this](const QString& text) { tellTickFailure(text); });
    recorder.onFileCutShort([this](TickView& view) { startNewFile(view); });
    connect(&linker, &LinkController::slotChanged, this, &LoggerSession::slotChanged);
    connect(&linker, &LinkController::linked, this, &LoggerSession::linked);
    connect(&alarms, &AlarmWatch::changed, this, &LoggerSession::alarmChanged);
    connect(&alarms, &AlarmWatch::problem, this, &LoggerSession::alarmProblem);
}

LoggerSession::~LoggerSession() {
    recorder.stopLog();
}

void LoggerSession::tick(TickView& view) {
    if (recorder.logOpen() && logSplit.due(fileOpened, clock.now(), recorder.bytesInFile()))
        startNewFile(view);
    TickControls c;
    c.devices = linker.tickInputs();
    c.labels = table.labels();
    c.autoSample = settings.autoSample;
    c.fastMode = settings.fastMode;
    c.intervalMode = settings.intervalMode;
    c.intervalText = settings.intervalText;
    c.manualRequest = settings.manualRequest;
    const PollResult& poll = recorder.tick(c, view);
    if (recorder.tookManualRequest())
        settings.manualRequest = false;
    if (!recorder.logOpen())
        alarms.logStopped(); // a log that stopped by itself in the tick
    if (alarms.watching()) {
        std::array<DevicePresence, DeviceCount> presence{};
        for (int i = 0; i < DeviceCount; ++i)
            presence[i] = table[i].link == LinkState::Off       ? DevicePresence::Unlinked
                          : table[i].link == LinkState::Waiting ? DevicePresence::WaitingForPort
                                                                : DevicePresence::Linked;
        alarms.judgeTick(poll, clock.now(), presence,
                         recorder.logOpen() ? recorder.sampleCount() : 0);
    }
    for (int i = 0; i < DeviceCount; ++i) {
        if (poll.valueLabels[i])
            table[i].valueText = *poll.valueLabels[i];
        // Told after the tick, so a message box never interrupts a tick halfway.
        if (poll.unitChanges[i])
            QMetaObject::invokeMethod(
                this,
                [this, i, change = *poll.unitChanges[i]] {
                    messages.show(unitChangeText(i, linker.portName(i), change));
                },
                Qt::QueuedConnection);
    }
}

// Not a message box: a step that fails does so every second, and the window must stay usable.
void LoggerSession::tellTickFailure(const QString& text) {
    const QByteArray line = text.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
}

void LoggerSession::clearCaptions() {
    for (int i = 0; i < DeviceCount; ++i) {
        table[i].unit.clear();
        table[i].label.clear();
    }
}

bool LoggerSession::prepareLogFolder() {
    const LogFileError made = createLogFolder(folder);
    if (!made.ok)
        messages.show(logFolderNotCreatedText(folder, made.reason));
    return made.ok;
}

void LoggerSession::setAutoSample(int value) {
    if (value == settings.autoSample)
        return;
    settings.autoSample = value;
    if (value == 1)
        recorder.restartInterval();
}

void LoggerSession::setFastMode(bool fast) {
    settings.fastMode = fast;
    settings.intervalMode = !fast;
}

QString LoggerSession::setIntervalText(const QString& text) {
    settings.intervalText = normalisedIntervalText(text).value_or(text);
    return settings.intervalText;
}

bool LoggerSession::openLog(const QString& path, LogOpening how) {
    QString chosen = path;
    if (chosen.isEmpty()) {
        if (!prepareLogFolder())
            return false;
        chosen = folder + DefaultLogName;
    }
    splitBase = chosen;
    if (logSplit.active())
        chosen = freeFileName(splitBase);
    if ((path.isEmpty() || how == LogOpening::Unattended) && QFileInfo(chosen).size() > 0) {
        messages.show(logHoldsDataText(chosen));
        return false;
    }
    const LogFileError created =
        recorder.startLog(chosen, csvHeader(table.labels(), table.units(), pages));
    if (!created.ok) {
        // The one message a refused log file has always had in the window.
        const bool refused = created.permissionDenied && how == LogOpening::ByUser;
        messages.show(refused ? QStringLiteral("Log File was opened.")
                              : logNotCreatedText(chosen, created.reason));
        return false;
    }
    fileStarted(chosen);
    if (how == LogOpening::Unattended && settings.autoSample == 0)
        messages.show(QStringLiteral("Automatic sampling is off in the set-up file and --auto was "
                                     "not given: no row will be logged."));
    return true;
}

void LoggerSession::fileStarted(const QString& path) {
    fileOpened = clock.now();
    alarms.logStarted(path);
    emit logFileStarted(path);
}

// The first name of the period that holds no data: a file is never written twice.
QString LoggerSession::freeFileName(const QString& base) const {
    LogSplit naming = logSplit;
    if (!naming.active())
        naming.every = LogSplit::Every::Day;
    const QDateTime now = clock.now();
    for (int part = 1;; ++part) {
        const QString name = naming.fileName(base, now, part);
        if (QFileInfo(name).size() <= 0)
            return name;
    }
}

bool LoggerSession::startNewFile(TickView& view) {
    if (!recorder.logOpen())
        return false;
    const QString old = recorder.logPath();
    // Rotated away (moved, or emptied by copytruncate): without new files by date, the log goes
    // on under its name; else in the first free file of the period.
    const bool movedAway = !QFileInfo::exists(old);
    const bool sameName = !logSplit.active() && (movedAway || QFileInfo(old).size() == 0);
    const QString next = sameName ? old : freeFileName(splitBase);
    const LogFileError result =
        recorder.continueLog(next, csvHeader(table.labels(), table.units(), pages), movedAway);
    if (!result.ok) {
        const QString where = recorder.logOpen() ? next : old;
        recorder.stopLog();
        alarms.logStopped();
        view.loggingStopped(where, result, recorder.settleAfterFailure(result));
        return false;
    }
    fileStarted(next);
    return true;
}

std::optional<QString> LoggerSession::closeLog() {
    const QString path = recorder.logPath();
    const LogFileError closed = recorder.stopLog();
    alarms.logStopped();
    if (closed.ok)
        return std::nullopt;
    return stoppedText(path, closed);
}

QString LoggerSession::stoppedText(const QString& path, const LogFileError& cause) {
    return loggingStoppedText(path, cause, recorder.settleAfterFailure(cause));
}

void LoggerSession::setAlarmSettings(const AlarmSettings& alarmSettings) {
    alarms.setSettings(alarmSettings, clock.now());
}

void LoggerSession::publishWith(MqttPublisher& mqtt) {
    publishing = std::make_unique<PublishingSink>(mqtt);
    publishTo = &mqtt;
    recorder.addSink(publishing.get());
    alarms.publishWith(&mqtt);
}

QString LoggerSession::finishPublishing(int seconds) {
    if (!publishTo)
        return {};
    const MqttDrainResult d = publishTo->drainFor(std::chrono::seconds(seconds));
    messages.show(QStringLiteral("MQTT at the end: %1 messages delivered while waiting, %2 not "
                                 "delivered (their rows are in the CSV log).")
                      .arg(d.delivered)
                      .arg(d.notDelivered));
    return QStringLiteral("; at the end %1 delivered, %2 not delivered")
        .arg(d.delivered)
        .arg(d.notDelivered);
}

QString LoggerSession::statusText() const {
    QStringList linked;
    QStringList leftOut;
    qint64 notLogged = 0;
    for (int i = 0; i < DeviceCount; ++i) {
        if (table[i].link == LinkState::Linked)
            linked << QString::number(i + 1);
        if (const qint64 n = recorder.readingsNotLogged()[i]; n > 0) {
            leftOut << QStringLiteral("device %1: %2").arg(i + 1).arg(n);
            notLogged += n;
        }
    }
    const TickDurations& ticks = recorder.durations();
    QString line = QStringLiteral("rows written %1, devices linked %2 (%3), tick %4 ms mean %5 ms "
                                  "longest, not logged: %6")
                       .arg(recorder.sampleCount())
                       .arg(linked.size())
                       .arg(linked.join(QLatin1Char(' ')))
                       .arg(QString::number(ticks.meanMs(), 'f', 3),
                            QString::number(ticks.longestMs(), 'f', 3))
                       .arg(notLogged);
    if (!leftOut.isEmpty())
        line += QStringLiteral(" (%1)").arg(leftOut.join(QStringLiteral(", ")));
    if (recorder.stepFailures() > 0)
        line += QStringLiteral(", tick steps failed: %1").arg(recorder.stepFailures());
    if (alarms.watching())
        line += QStringLiteral(", alarms active %1").arg(alarms.activeCount());
    if (publishTo) {
        const MqttCounters mqtt = publishTo->counters();
        const QString cause = publishTo->awayCause();
        line += QStringLiteral("; MQTT %1 sent %2 waiting %3 dropped, broker %4")
                    .arg(mqtt.published)
                    .arg(mqtt.buffered)
                    .arg(mqtt.dropped)
                    .arg(publishTo->isConnected() ? QStringLiteral("connected")
                         : cause.isEmpty()        ? QStringLiteral("away")
                                                  : cause);
    }
    return line;
}

} // namespace kt7
