#include "headless/HeadlessLogger.h"

#include "acquisition/LatestReading.h"
#include "logfile/CsvFormat.h"
#include "logfile/LogFolder.h"
#include "record/LoggerMessages.h"
#include "setup/SetupFileStore.h"
#include "text/NumberText.h"

#include <QFileInfo>
#include <algorithm>

namespace kt7 {

namespace {
// A port that is back but whose instrument stays silent is tried every five seconds.
constexpr int SilentPortPauseRounds = 4;
const QString DefaultLogName = QStringLiteral("KT7_LogData.csv");
} // namespace

HeadlessLogger::HeadlessLogger(HeadlessOptions options, SerialPortFactory& portFactory,
                               Clock& clock, MessageBoxes& errors, StatusOutput status,
                               CodePage codePage, QString logFolder)
    : options(std::move(options)), clock(clock), errors(errors), status(std::move(status)),
      codePage(codePage), logFolder(std::move(logFolder)),
      recorder(clock, codePage, QLocale::system()) {
    for (int i = 0; i < DeviceCount; ++i) {
        ports[i] = portFactory.create();
        // A broken port is handled after the tick that noticed it.
        connect(
            ports[i].get(), &SerialPort::failed, this,
            [this, i](const QString& reason) { onPortFailed(i, reason); }, Qt::QueuedConnection);
    }
    tickTimer.setInterval(1000);
    relinkTimer.setInterval(1000);
    statusTimer.setInterval(this->options.statusEverySeconds * 1000);
    connect(&tickTimer, &QTimer::timeout, this, &HeadlessLogger::tick);
    connect(&relinkTimer, &QTimer::timeout, this, &HeadlessLogger::relinkWaiting);
    connect(&statusTimer, &QTimer::timeout, this, [this] { this->status(statusLine()); });
}

HeadlessLogger::~HeadlessLogger() {
    recorder.stopLog();
}

void HeadlessLogger::publishWith(MqttPublisher& mqtt) {
    publishing = std::make_unique<PublishingSink>(mqtt);
    publisher = &mqtt;
    recorder.addSink(publishing.get());
}

int HeadlessLogger::start() {
    if (!readSetup())
        return CannotLog;
    // Linked first, so the header holds the units the devices send.
    linkAll(true);
    if (!openLog())
        return CannotLog;
    if (autoSample == 0)
        errors.show(QStringLiteral("Automatic sampling is off in the set-up file and --auto was "
                                   "not given: no row will be logged."));
    tickTimer.start();
    relinkTimer.start();
    statusTimer.start();
    status(statusLine());
    return 0;
}

int HeadlessLogger::finish() {
    tickTimer.stop();
    relinkTimer.stop();
    statusTimer.stop();
    const QString path = recorder.logPath();
    const LogFileError closed = recorder.stopLog();
    // The last rows are sent before the end while the broker is there; it never holds up long.
    if (publisher)
        publisher->drain(5000);
    status(statusLine());
    if (closed.ok)
        return 0;
    errors.show(loggingStoppedText(path, closed, recorder.settleAfterFailure(closed)));
    return CannotLog;
}

void HeadlessLogger::tick() {
    recorder.tick(*this);
}

// The set-up as the window loads it: line 1's sampling options (command-line options win), and
// per device its port, tare and label. Y-axis and chart settings have nothing to show here.
bool HeadlessLogger::readSetup() {
    const QString& path = options.setupPath;
    const SetupFileResult loaded = SetupFileStore(codePage).load(path);
    if (!loaded.ok) {
        errors.show(loaded.message);
        return false;
    }
    const SetupFileContent& content = loaded.content;
    const auto& general = *content.general;
    const SetupSampling sampling = readSetupSampling(general);
    if (sampling.firstInvalidField != 0) {
        errors.show(setupFieldInvalidText(path, sampling.firstInvalidField));
        return false;
    }
    autoSample = options.autoSample ? 1 : *sampling.autoSample;
    fastMode = options.fastMode.value_or(*sampling.fast);
    intervalMode = options.fastMode ? !*options.fastMode : *sampling.sec;
    // --fast asks for every reading and nothing else: the interval rows that Fast mode from a
    // set-up file adds (a repeat of the newest reading every so many seconds) are left out.
    if (options.everySeconds)
        intervalText = QString::number(*options.everySeconds);
    else if (!options.fastMode.value_or(false))
        intervalText = toText(general[3]);
    for (int i = 0; i < DeviceCount; ++i) {
        if (!content.devices[i])
            continue;
        const auto& fields = *content.devices[i];
        tare[i] = toInt16(fields[4]) == qint16(1);
        labels[i] = toText(fields[5]);
        portNumbers[i] = toInt16(fields[3]).value_or(0);
        ports[i]->setPortNumber(portNumbers[i]);
    }
    return true;
}

// The chosen file, or the default one in the log folder. A file that already holds data is never
// overwritten: an unattended restart must not wipe the last run's log.
bool HeadlessLogger::openLog() {
    QString path = options.logPath;
    if (path.isEmpty()) {
        if (const LogFileError made = createLogFolder(logFolder); !made.ok) {
            errors.show(logFolderNotCreatedText(logFolder, made.reason));
            return false;
        }
        path = logFolder + DefaultLogName;
    }
    if (QFileInfo(path).size() > 0) {
        errors.show(logHoldsDataText(path));
        return false;
    }
    const LogFileError created = recorder.startLog(path, csvHeader(labels, units, codePage));
    if (!created.ok) {
        errors.show(logNotCreatedText(path, created.reason));
        return false;
    }
    return true;
}

// Every device with a port is opened first and all wait together, so eight devices link in one
// wait instead of eight; each then links on its newest reading, as the link button does.
void HeadlessLogger::linkAll(bool tellFailures) {
    std::array<bool, DeviceCount> opened{};
    bool anyOpened = false;
    for (int i = 0; i < DeviceCount; ++i) {
        if (portNumbers[i] == 0 || linked[i] || (!tellFailures && !waiting[i]))
            continue;
        // The readings a broken port left go into the next tick's rows before it links again.
        if (!tellFailures && recorder.devicePoller().hasFinalText(i))
            continue;
        if (!tellFailures && relinkPause[i] > 0) {
            --relinkPause[i];
            continue;
        }
        const PortOpenResult result = ports[i]->open();
        opened[i] = result.ok();
        anyOpened = anyOpened || opened[i];
        waiting[i] = true;
        if (!opened[i] && tellFailures)
            errors.show(portOpenFailureText(i, portNumbers[i], ports[i]->devicePath(), result));
    }
    if (!anyOpened)
        return;
    clock.blockingWait(DevicePoller::LinkWaitMs);
    for (int i = 0; i < DeviceCount; ++i) {
        if (!opened[i])
            continue;
        const QByteArray received = ports[i]->readAll();
        const LatestReading reading = parseLatestReading(received);
        if (!reading.found) {
            ports[i]->close();
            relinkPause[i] = SilentPortPauseRounds;
            if (tellFailures)
                errors.show(QStringLiteral("Device %1 (%2) sent no reading; it is tried again "
                                           "every few seconds.")
                                .arg(QString::number(i + 1), portName(i)));
            continue;
        }
        units[i] = reading.unit;
        tares[i] = tare[i] ? TareOffset::of(reading.value) : TareOffset::zero();
        linked[i] = true;
        waiting[i] = false;
        recorder.devicePoller().restartAfterLink(i, received);
        status(QStringLiteral("Device %1 (%2) linked%3: %4 %5")
                   .arg(QString::number(i + 1), portName(i),
                        tellFailures ? QString() : QStringLiteral(" again"),
                        numberText(reading.value), reading.unit));
    }
}

void HeadlessLogger::relinkWaiting() {
    if (std::find(waiting.begin(), waiting.end(), true) != waiting.end())
        linkAll(false);
}

// What the port had received goes into the next tick's rows; the device waits for its port.
void HeadlessLogger::onPortFailed(int index, const QString& reason) {
    if (!linked[index])
        return;
    recorder.devicePoller().keepFinalText(index, ports[index]->readAll());
    ports[index]->close();
    linked[index] = false;
    waiting[index] = true;
    relinkPause[index] = 0;
    errors.show(lostLinkText(index, portName(index), ports[index]->devicePath(), reason));
}

QString HeadlessLogger::portName(int index) const {
    return QStringLiteral("COM %1").arg(portNumbers[index]);
}

TickControls HeadlessLogger::tickControls() {
    TickControls c;
    for (int i = 0; i < DeviceCount; ++i)
        // A device waiting for its port stays wanted, so the poll still takes what the port
        // had received when it broke.
        c.devices[i] = {linked[i] || waiting[i], ports[i].get(), units[i], tares[i]};
    c.labels = labels;
    c.autoSample = autoSample;
    c.fastMode = fastMode;
    c.intervalMode = intervalMode;
    c.intervalText = intervalText;
    return c;
}

void HeadlessLogger::showPoll(const PollResult& poll) {
    for (int i = 0; i < DeviceCount; ++i)
        if (poll.unitChanges[i])
            errors.show(unitChangeText(i, portName(i), *poll.unitChanges[i]));
}

void HeadlessLogger::loggingStopped(const QString& path, const LogFileError& cause,
                                    qint32 lastSample) {
    errors.show(loggingStoppedText(path, cause, lastSample));
    emit cannotGoOn(CannotLog);
}

QString HeadlessLogger::statusLine() const {
    QStringList devices;
    for (int i = 0; i < DeviceCount; ++i)
        if (linked[i])
            devices << QString::number(i + 1);
    const TickDurations& ticks = recorder.durations();
    QString line = QStringLiteral("%1 rows written %2, devices linked %3 (%4), tick %5 ms mean "
                                  "%6 ms longest")
                       .arg(clock.now().toUTC().toString(Qt::ISODate))
                       .arg(recorder.sampleCount())
                       .arg(devices.size())
                       .arg(devices.join(QLatin1Char(' ')))
                       .arg(QString::number(ticks.meanMs(), 'f', 3),
                            QString::number(ticks.longestMs(), 'f', 3));
    if (publisher) {
        const MqttCounters mqtt = publisher->counters();
        line += QStringLiteral("; MQTT %1 sent %2 waiting %3 dropped, broker %4")
                    .arg(mqtt.published)
                    .arg(mqtt.buffered)
                    .arg(mqtt.dropped)
                    .arg(publisher->isConnected() ? QStringLiteral("connected")
                                                  : QStringLiteral("away"));
    }
    return line;
}

} // namespace kt7
