#include "session/LoggerSession.h"

#include "logfile/CsvFormat.h"
#include "logfile/LogFolder.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "record/LoggerMessages.h"
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
      linker(table, ports, clock, messages, recorder.devicePoller()) {
    recorder.onStepFailure([this](const QString& text) { tellTickFailure(text); });
    recorder.onFileCutShort([this](TickView& view) { startNewFile(view); });
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

bool LoggerSession::openLog(const QString& path, LogOpening how) {
    QString chosen = path;
    if (chosen.isEmpty()) {
        if (const LogFileError made = createLogFolder(folder); !made.ok) {
            messages.show(logFolderNotCreatedText(folder, made.reason));
            return false;
        }
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
    fileOpened = clock.now();
    emit logFileStarted(chosen);
    if (how == LogOpening::Unattended && settings.autoSample == 0)
        messages.show(QStringLiteral("Automatic sampling is off in the set-up file and --auto was "
                                     "not given: no row will be logged."));
    return true;
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
        view.loggingStopped(where, result, recorder.settleAfterFailure(result));
        return false;
    }
    fileOpened = clock.now();
    emit logFileStarted(next);
    return true;
}

std::optional<QString> LoggerSession::closeLog() {
    const QString path = recorder.logPath();
    const LogFileError closed = recorder.stopLog();
    if (closed.ok)
        return std::nullopt;
    return stoppedText(path, closed);
}

QString LoggerSession::stoppedText(const QString& path, const LogFileError& cause) {
    return loggingStoppedText(path, cause, recorder.settleAfterFailure(cause));
}

std::optional<SetupFileContent> LoggerSession::readSetup(const QString& path) {
    SetupFileResult loaded = SetupFileStore(pages).load(path);
    if (!loaded.ok) {
        messages.show(loaded.message);
        return std::nullopt;
    }
    return std::move(loaded.content);
}

SetupFileResult LoggerSession::saveSetup(const QString& path, const SetupData& data) {
    const SetupFileResult saved = SetupFileStore(pages).save(path, data);
    if (!saved.ok)
        messages.show(saved.message);
    return saved;
}

// Line 1's sampling options, and per device its port, tare and label. A tare that is on is taken
// from the first reading of the device's link; units come from the link too.
bool LoggerSession::applySetup(const QString& path, const SetupFileContent& content) {
    const auto& general = *content.general;
    const SetupSampling sampling = readSetupSampling(general);
    if (sampling.firstInvalidField != 0) {
        messages.show(setupFieldInvalidText(path, sampling.firstInvalidField));
        return false;
    }
    settings.autoSample = *sampling.autoSample;
    settings.fastMode = *sampling.fast;
    settings.intervalMode = *sampling.sec;
    settings.intervalText = toText(general[3]);
    for (int i = 0; i < DeviceCount; ++i) {
        DeviceSlot& slot = table[i];
        slot.unit.clear();
        slot.label.clear();
        if (!content.devices[i])
            continue;
        const auto& fields = *content.devices[i];
        slot.label = toText(fields[5]);
        linker.choosePort(i, toInt16(fields[3]).value_or(0));
        slot.tareOn = toInt16(fields[4]) == qint16(1);
        slot.tareAtLink = slot.tareOn;
        slot.tare = TareOffset::zero();
    }
    return true;
}

void LoggerSession::applyOptions(const LoggerOptions& options) {
    if (options.autoSample)
        settings.autoSample = 1;

    if (options.fastMode) {
        settings.fastMode = *options.fastMode;
        settings.intervalMode = !*options.fastMode;
    }
    // --fast asks for every reading and nothing else: the interval rows that Fast mode from a
    // set-up file adds (a repeat of the newest reading every so many seconds) are left out.
    if (options.everySeconds)
        settings.intervalText = QString::number(*options.everySeconds);
    else if (options.fastMode.value_or(false))
        settings.intervalText.clear();
}

QList<int> LoggerSession::devicesWithPort() const {
    QList<int> devices;
    for (int i = 0; i < DeviceCount; ++i)
        if (table[i].portNumber != 0)
            devices << i;
    return devices;
}

void LoggerSession::publishWith(MqttPublisher& mqtt) {
    publishing = std::make_unique<PublishingSink>(mqtt);
    publishTo = &mqtt;
    recorder.addSink(publishing.get());
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
