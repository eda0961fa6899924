#include "../publish/Broker.h"
#include "../publish/Subscriber.h"
#include "../publish/TestCertificates.h"
#include "E2eSupport.h"
#include "InstrumentRig.h"
#include "common/TestRegistry.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTest>
#include <csignal>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The service manager's end of NOTIFY_SOCKET: a Unix datagram socket that collects every state
// the logger sends as it comes, as systemd does (a sender blocks once ten wait unread).
class NotifySocket {
  public:
    explicit NotifySocket(const QString& path) : path(path) {
        fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        const bool fits = name.size() < qsizetype(sizeof address.sun_path);
        if (fits)
            std::copy(name.begin(), name.end(), address.sun_path);
        bound = fits && fd >= 0 &&
                ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        reader = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(reader.get(), &QSocketNotifier::activated, [this] { told += take(); });
    }
    ~NotifySocket() {
        ::close(fd);
        QFile::remove(path);
    }
    QStringList take() {
        QStringList states;
        char buffer[4096];
        for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
            states += QString::fromUtf8(buffer, got).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return states;
    }
    QString path;
    int fd = -1;
    bool bound = false;
    std::unique_ptr<QSocketNotifier> reader;
    QStringList told; // every state so far, in order
};
// The most memory the process has held so far (VmHWM), in KiB; -1 when it cannot be read.
qint64 peakResidentKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// A healthy headless logger stays well below this; the sanitizers' shadow memory adds much.
#ifdef KT7_SANITIZED
constexpr qint64 PeakLimitKiB = 200 * 1024;
#else
constexpr qint64 PeakLimitKiB = 30 * 1024;
#endif

// kt7-logger --headless on the simulator's ports, with no display at all.
class HeadlessRun {
  public:
    explicit HeadlessRun(const QString& home, const QString& notifySocket = {}) : home(home) {
        QProcessEnvironment environment = kt7test::isolatedEnvironment(home);
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        // As systemd starts the service: WatchdogSec=30 gives it WATCHDOG_USEC.
        if (!notifySocket.isEmpty()) {
            environment.insert(QStringLiteral("NOTIFY_SOCKET"), notifySocket);
            environment.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("30000000"));
        }
        proc.setProcessEnvironment(environment);
        QObject::connect(&proc, &QProcess::readyReadStandardOutput,
                         [this] { out += proc.readAllStandardOutput(); });
        QObject::connect(&proc, &QProcess::readyReadStandardError,
                         [this] { err += proc.readAllStandardError(); });
    }
    ~HeadlessRun() {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished();
        }
    }
    // Device 1 on COM 1, labelled "Scale"; no other device has a port, and every number without
    // an entry leads nowhere.
    bool start(const QStringList& extra) {
        if (!kt7test::makeDanglingPorts(home))
            return false;
        const QString setup = home + QStringLiteral("/rig.kt7");
        QFile file(setup);
        QByteArray text = "0,#FALSE#,#TRUE#,\"5\",\"300\"\r\n1,\"100\",\"0\",1,0,\"Scale\"\r\n";
        for (int device = 2; device <= 8; ++device)
            text += "0,\"100\",\"0\",0,0,\"\"\r\n";
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return false;
        file.close();
        proc.start(QStringLiteral(KT7_LOGGER_PATH),
                   QStringList{"--headless", "--setup", setup, "--log", csvPath(), "--fast",
                               "--auto", "--status-every", "1"} +
                       extra);
        return proc.waitForStarted(15000);
    }
    QString csvPath() const { return home + QStringLiteral("/headless.csv"); }
    // The value the link read, as the device's status line tells it.
    QByteArray linkValue() const {
        static const QRegularExpression linked(
            QStringLiteral("Device 1 \\(COM 1\\) linked: (\\S+) kg"));
        const QRegularExpressionMatch match = linked.match(QString::fromLocal8Bit(out));
        return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
    }
    QString lastStatus() const {
        const QList<QByteArray> lines = out.trimmed().split('\n');
        return QString::fromLocal8Bit(lines.isEmpty() ? QByteArray() : lines.last());
    }
    // SIGTERM; true when it then ended by itself with code 0.
    bool terminate() {
        proc.terminate();
        return proc.waitForFinished(20000) && proc.exitStatus() == QProcess::NormalExit &&
               proc.exitCode() == 0;
    }
    QString output() const { return QString::fromLocal8Bit(out + "\n--- stderr:\n" + err); }

    // Waits for `count` more status lines than there are now, a second apart.
    bool statusLinesGrowBy(int count) {
        const qsizetype target = out.count('\n') + count;
        return QTest::qWaitFor([&] { return out.count('\n') >= target; }, 20000);
    }
    QString peakCheck() const {
        const qint64 peak = peakResidentKiB(proc.processId());
        return peak > 0 && peak < PeakLimitKiB
                   ? QString()
                   : QStringLiteral("peak memory %1 KiB, limit %2 KiB").arg(peak).arg(PeakLimitKiB);
    }

    QString home;
    QProcess proc;
    QByteArray out;
    QByteArray err;
};

// The longest tick the last status line reports, in milliseconds; -1 when it reports none.
double longestTickMs(const QString& status) {
    static const QRegularExpression longest(QStringLiteral("([0-9.]+) ms longest"));
    const QRegularExpressionMatch match = longest.match(status);
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

// The CSV's rows as the subscriber should have them: "sample value" for device 1.
QStringList rowReadings(const QList<QByteArray>& rows) {
    QStringList readings;
    for (const QByteArray& row : rows) {
        const QList<QByteArray> fields = row.split(',');
        readings << QStringLiteral("%1 %2").arg(QString::fromLatin1(fields.value(0)),
                                                QString::number(e2e::thousandths(fields.value(2))));
    }
    return readings;
}

// What the subscriber received, as rowReadings gives the rows. QoS 1 delivers at least once: a
// message the broker took but had not acknowledged when it stopped comes again after its
// restart. Such repeats are counted apart, and every other fault shows in `fault`.
QStringList publishedReadings(const Subscriber& subscriber, QString* fault, int* repeats) {
    QStringList readings;
    *repeats = 0;
    for (const auto& [topic, payload] : subscriber.received()) {
        const QJsonObject json = QJsonDocument::fromJson(payload).object();
        if (topic != "kt7/rig/1" || json[QLatin1String("unit")].toString() != QLatin1String("kg") ||
            json[QLatin1String("label")].toString() != QLatin1String("Scale"))
            *fault = QString::fromUtf8(topic + ' ' + payload);
        const QString reading =
            QStringLiteral("%1 %2")
                .arg(json[QLatin1String("sample")].toInt())
                .arg(std::llround(json[QLatin1String("value")].toDouble() * 1000));
        if (readings.contains(reading))
            ++*repeats;
        else
            readings << reading;
    }
    return readings;
}

} // namespace

// Logging without a window: the same Fast log as the window's, ended cleanly by SIGTERM, and
// every logged row copied to an MQTT broker that may be away for a while.
class HeadlessLoggingTest : public QObject {
    Q_OBJECT

    // The instrument only: the logger here is a process of its own.
    std::unique_ptr<e2e::InstrumentRig> instrument;
    // The test's own broker and a subscriber to all the logger publishes there.
    std::optional<Broker> mqttBroker;
    std::optional<Subscriber> mqttSubscriber;

    // Starts the broker and its subscriber; false when the test cannot go on (skipped without
    // mosquitto, or failed).
    bool startWatchedBroker() {
        [this] {
            if (Broker::program().isEmpty())
                QSKIP("the mosquitto broker is not installed (Debian package mosquitto)");
            QVERIFY(mqttBroker.emplace().start());
            mqttSubscriber.emplace(mqttBroker->port());
            QTRY_VERIFY_WITH_TIMEOUT(mqttSubscriber->isSubscribed(), 10000);
        }();
        return mqttSubscriber && mqttSubscriber->isSubscribed();
    }

    // Waits until the log holds at least `more` rows beyond what it holds now.
    static bool rowsGrowBy(const QString& csv, int more) {
        const int target = e2e::wholeDataRows(csv) + more;
        return QTest::qWaitFor([&] { return e2e::wholeDataRows(csv) >= target; }, 30000);
    }
    // The rows are whole, numbered without a gap, and are the instrument's lines after the link.
    QList<QByteArray> checkedRows(const HeadlessRun& run) {
        const e2e::CsvText csv = e2e::readCsv(run.csvPath());
        [&] {
            QVERIFY2(!csv.bareLineFeed && csv.tail.isEmpty(), csv.tail.constData());
            QCOMPARE(csv.lines.value(1), QByteArray(",,Scale,,,,,,,"));
            QCOMPARE(csv.lines.value(2), QByteArray(",,kg,,,,,,,"));
            const QString rowFault = e2e::checkDataRows(csv.lines.mid(3));
            QVERIFY2(rowFault.isEmpty(), qPrintable(rowFault));
            const QString sentFault =
                e2e::checkRowsFollowSent(csv.lines.mid(3), instrument->sentLog, run.linkValue());
            QVERIFY2(sentFault.isEmpty(), qPrintable(sentFault));
        }();
        return csv.lines.mid(3);
    }

    // The data rows of every file the run wrote, in sample order; each file has the full header.
    static QList<QByteArray> rowsOfFiles(const QString& home, int* files) {
        QList<QList<QByteArray>> parts;
        const QStringList names = QDir(home).entryList({QStringLiteral("headless_*.csv")});
        *files = int(names.size());
        for (const QString& name : names) {
            const e2e::CsvText csv = e2e::readCsv(home + QLatin1Char('/') + name);
            if (csv.lines.value(1) != ",,Scale,,,,,,," || csv.lines.value(2) != ",,kg,,,,,,," ||
                !csv.tail.isEmpty())
                return {"not a whole log with its header: " + name.toUtf8()};
            parts << csv.lines.mid(3);
        }
        std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) {
            return a.value(0).split(',')[0].toInt() < b.value(0).split(',')[0].toInt();
        });
        QList<QByteArray> rows;
        for (const auto& part : parts)
            rows += part;
        return rows;
    }

  private slots:
    void init() {
        instrument = std::make_unique<e2e::InstrumentRig>();
        QVERIFY2(instrument->startInstrument(e2e::rampArguments() + QStringList{"--unit", "kg"}),
                 qPrintable(instrument->simulator->output()));
    }
    void cleanup() {
        instrument.reset();
        mqttSubscriber.reset();
        mqttBroker.reset();
    }

    void fastLogUntilSigterm() {
        HeadlessRun run(instrument->home.path());
        QVERIFY(run.start({}));
        QVERIFY2(rowsGrowBy(run.csvPath(), 60), qPrintable(run.output()));
        QVERIFY2(run.terminate(), qPrintable(run.output()));
        const QList<QByteArray> rows = checkedRows(run);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(rows.size() >= 60);
        QVERIFY2(run.lastStatus().contains(
                     QStringLiteral("rows written %1, devices linked 1 (1)").arg(rows.size())),
                 qPrintable(run.output()));
    }

    // A run as systemd keeps it: new files by day, three more on SIGHUP (logrotate's postrotate),
    // and the service manager told ready, status, a watchdog beat per tick, stopping.
    void newFilesUnderAServiceManager() {
        NotifySocket manager(instrument->home.filePath(QStringLiteral("notify")));
        QVERIFY(manager.bound);
        HeadlessRun run(instrument->home.path(), manager.path);
        QVERIFY(run.start({"--new-file", "daily"}));
        const QStringList& states = manager.told;
        QTRY_VERIFY_WITH_TIMEOUT(states.contains(QStringLiteral("READY=1")), 30000);
        QElapsedTimer sinceReady;
        sinceReady.start();
        for (int files = 2; files <= 4; ++files) {
            const qsizetype statuses = run.out.count("rows written");
            QVERIFY2(QTest::qWaitFor([&] { return run.out.count("rows written") >= statuses + 2; },
                                     10000),
                     qPrintable(run.output()));
            ::kill(pid_t(run.proc.processId()), SIGHUP);
            QVERIFY2(QTest::qWaitFor([&] { return run.out.count("Logging to") >= files; }, 5000),
                     qPrintable(run.output()));
        }
        // Two more status lines: the new file has rows too.
        const qsizetype statuses = run.out.count("rows written");
        QVERIFY2(
            QTest::qWaitFor([&] { return run.out.count("rows written") >= statuses + 2; }, 10000),
            qPrintable(run.output()));
        const qint64 seconds = sinceReady.elapsed() / 1000;
        QVERIFY2(run.terminate(), qPrintable(run.output()));
        manager.told += manager.take();
        QVERIFY2(states.count(QStringLiteral("WATCHDOG=1")) >= seconds - 1,
                 qPrintable(states.join(' ')));
        QVERIFY(std::any_of(states.begin(), states.end(), [](const QString& s) {
            return s.startsWith("STATUS=") && s.contains("rows written");
        }));
        QCOMPARE(states.last(), QStringLiteral("STATUS=") + run.lastStatus());
        QVERIFY(states.contains(QStringLiteral("STOPPING=1")));

        int written = 0;
        const QList<QByteArray> rows = rowsOfFiles(instrument->home.path(), &written);
        QCOMPARE(written, int(run.out.count("Logging to")));
        QVERIFY(written >= 4);
        const QString rowFault = e2e::checkDataRows(rows);
        QVERIFY2(rowFault.isEmpty(), qPrintable(rowFault));
        const QString sentFault =
            e2e::checkRowsFollowSent(rows, instrument->sentLog, run.linkValue());
        QVERIFY2(sentFault.isEmpty(), qPrintable(sentFault));
    }

    // A broker that refuses the logger: told on standard error in its own words, once, while
    // logging goes on; a password never shows in any output.
    void refusedBrokerIsToldWhileLoggingGoesOn_data() {
        QTest::addColumn<QString>("conf"); // %1 TLS port, %2 own CA, %3 other CA
        QTest::addColumn<QString>("told");
        const QString pw = QStringLiteral("password=S3cret-pw\n");
        QTest::newRow("CA that did not sign it")
            << "url=mqtts://127.0.0.1:%1\nusername=rig\ncafile=%3\n" + pw
            << "certificate verify failed";
        QTest::newRow("wrong password")
            << "url=mqtts://127.0.0.1:%1\nusername=rig\ncafile=%2\npassword=Wr0ng-pw\n"
            << "refused user \"rig\"";
        QTest::newRow("unknown host") << "url=mqtts://nohost.invalid:%1\nusername=rig\n"
                                         "cafile=%2\n" +
                                             pw
                                      << "host \"nohost.invalid\" not found";
        QTest::newRow("readable by others") << "url=mqtts://127.0.0.1:%1\nusername=rig\n"
                                               "cafile=%2\n" +
                                                   pw
                                            << "chmod 600";
    }
    void refusedBrokerIsToldWhileLoggingGoesOn() {
        QFETCH(QString, conf);
        QFETCH(QString, told);
        if (Broker::program().isEmpty())
            QSKIP("the mosquitto broker is not installed (Debian package mosquitto)");
        TestCertificates certificates;
        const QString made = certificates.make(QStringLiteral("rig"), QStringLiteral("S3cret-pw"));
        QVERIFY2(made.isEmpty(), qPrintable(made));
        Broker broker(&certificates);
        QVERIFY(broker.start());
        const QString folder = instrument->home.filePath(QStringLiteral(".config/kt7-logger"));
        QVERIFY(QDir().mkpath(folder));
        QFile file(folder + QStringLiteral("/mqtt.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QString(conf)
                       .replace(QStringLiteral("%1"), QString::number(broker.tlsPort()))
                       .replace(QStringLiteral("%2"), certificates.caFile())
                       .replace(QStringLiteral("%3"), certificates.otherCaFile())
                       .toUtf8());
        file.close();
        const bool readable = QTest::currentDataTag() == QLatin1String("readable by others");
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                                    (readable ? QFile::ReadOther : QFile::Permissions())));

        HeadlessRun run(instrument->home.path());
        QVERIFY(run.start({"--mqtt-drain", "0"}));
        QVERIFY2(rowsGrowBy(run.csvPath(), 20), qPrintable(run.output()));
        QTRY_VERIFY2_WITH_TIMEOUT(run.err.contains(told.toUtf8()), qPrintable(run.output()), 10000);
        QVERIFY2(rowsGrowBy(run.csvPath(), 10), qPrintable(run.output()));
        QVERIFY2(run.terminate(), qPrintable(run.output()));
        QCOMPARE(run.err.count(told.toUtf8()), 1);
        QVERIFY2(!run.out.contains("S3cret") && !run.err.contains("S3cret") &&
                     !run.out.contains("Wr0ng") && !run.err.contains("Wr0ng"),
                 qPrintable(run.output()));
    }

    // SIGTERM while the broker is away: the queue gets its drain time and no more, and the
    // counts said at the end add up with what the subscriber got.
    void sigtermDuringAnOutage() {
        if (!startWatchedBroker())
            return;
        Broker& broker = *mqttBroker;
        const Subscriber& subscriber = *mqttSubscriber;
        HeadlessRun run(instrument->home.path());
        QVERIFY(run.start({"--mqtt", QStringLiteral("mqtt://127.0.0.1:%1").arg(broker.port()),
                           "--mqtt-station", "rig", "--mqtt-drain", "2"}));
        QVERIFY2(rowsGrowBy(run.csvPath(), 20), qPrintable(run.output()));
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.count() > 0, 10000);
        QVERIFY(broker.stop());
        QVERIFY2(rowsGrowBy(run.csvPath(), 20), qPrintable(run.output()));
        QElapsedTimer stopping;
        stopping.start();
        QVERIFY2(run.terminate(), qPrintable(run.output()));
        QVERIFY2(stopping.elapsed() < 3000, qPrintable(QString::number(stopping.elapsed())));
        static const QRegularExpression said(
            QStringLiteral("([0-9]+) messages delivered while waiting, ([0-9]+) not delivered"));
        const QRegularExpressionMatch counts = said.match(QString::fromLocal8Bit(run.err));
        QVERIFY2(counts.hasMatch(), qPrintable(run.output()));
        QVERIFY(broker.start());
        QString fault;
        int repeats = 0;
        const QStringList logged = rowReadings(checkedRows(run));
        const int delivered = counts.captured(1).toInt();
        const int notDelivered = counts.captured(2).toInt();
        const QStringList got = publishedReadings(subscriber, &fault, &repeats);
        QCOMPARE(delivered, 0);
        QCOMPARE(got, logged.mid(0, got.size()));
        // Every row the subscriber lacks is counted as not delivered; a message in flight when
        // the broker stopped (20 at most) may have reached it unacknowledged and counts too.
        const int missing = int(logged.size() - got.size());
        QVERIFY2(
            notDelivered >= missing && notDelivered <= missing + 20,
            qPrintable(
                QStringLiteral("%1 not delivered, %2 missing").arg(notDelivered).arg(missing)));
    }

    // COM 1 leads to something that is no terminal: both front ends refuse it at once, saying
    // why, and the headless logger, waiting for the port, neither grows nor logs.
    void refusesWhatIsNoSerialPort_data() {
        QTest::addColumn<QString>("target"); // empty: a plain file of good readings
        QTest::newRow("/dev/zero") << "/dev/zero";
        QTest::newRow("a plain file") << "";
    }
    void refusesWhatIsNoSerialPort() {
        QFETCH(QString, target);
        const QString home = instrument->home.path();
        if (target.isEmpty()) {
            target = home + QStringLiteral("/readings.txt");
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            for (int n = 0; n < 100; ++n)
                file.write("12.5 kg      \r\n");
        }
        const QString entry = kt7test::portsFolder(home) + QStringLiteral("/com1");
        QVERIFY(QFile::remove(entry) && QFile::link(target, entry));

        {
            const kt7test::HomeOverride isolated(home);
            e2e::RealPortsWindow f(home);
            QAbstractButton* link = f.button(QStringLiteral("Ch_Link"), 0);
            link->setChecked(true);
            QVERIFY(!link->isChecked());
            const QString told = f.messages.shown.join('\n');
            QVERIFY2(told.contains(QStringLiteral("COM 1 (")) &&
                         told.contains(QStringLiteral("could not be opened: not a serial port")),
                     qPrintable(told));
        }

        HeadlessRun run(home);
        QVERIFY(run.start({}));
        QTRY_VERIFY2_WITH_TIMEOUT(run.err.contains("could not be opened: not a serial port"),
                                  qPrintable(run.output()), 10000);
        // A few rounds of looking for the port again.
        QVERIFY2(run.statusLinesGrowBy(3), qPrintable(run.output()));
        qInfo("peak memory %lld KiB", peakResidentKiB(run.proc.processId()));
        const QString peak = run.peakCheck();
        QVERIFY2(peak.isEmpty(), qPrintable(peak));
        QVERIFY2(run.terminate(), qPrintable(run.output()));
        QVERIFY2(run.lastStatus().contains(QStringLiteral("rows written 0, devices linked 0")),
                 qPrintable(run.output()));
    }

    // A pseudo-terminal sending far more than 9600 baud carries: text without line ends before
    // the link, or lines in a torrent. The logger reads a bounded amount at each look.
    void floodStaysSmall_data() {
        QTest::addColumn<QStringList>("simArguments"); // %1: a file of 8 MiB without a line end
        QTest::addColumn<bool>("links");
        QTest::newRow("text without line ends before the link")
            << QStringList{"--raw-file", "%1", "--after-raw", "stream"} << false;
        QTest::newRow("lines far beyond 9600 baud")
            << QStringList{"--rate", "5000", "--baud", "4000000", "--decimals", "9"} << true;
    }
    void floodStaysSmall() {
        QFETCH(QStringList, simArguments);
        QFETCH(bool, links);
        instrument = std::make_unique<e2e::InstrumentRig>();
        const QString raw = instrument->home.filePath(QStringLiteral("flood.txt"));
        QFile file(raw);
        const QByteArray text(8 << 20, 'x');
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        file.close();
        simArguments.replaceInStrings(QStringLiteral("%1"), raw);
        QVERIFY2(instrument->startInstrument(simArguments + QStringList{"--unit", "kg"}),
                 qPrintable(instrument->simulator->output()));

        HeadlessRun run(instrument->home.path());
        QVERIFY(run.start({}));
        if (links)
            QTRY_VERIFY2_WITH_TIMEOUT(!run.linkValue().isEmpty(), qPrintable(run.output()), 15000);
        else
            QTRY_VERIFY2_WITH_TIMEOUT(run.err.contains("sent no reading"), qPrintable(run.output()),
                                      15000);
        QVERIFY2(run.statusLinesGrowBy(4), qPrintable(run.output()));
        qInfo("peak memory %lld KiB", peakResidentKiB(run.proc.processId()));
        const QString peak = run.peakCheck();
        QVERIFY2(peak.isEmpty(), qPrintable(peak));
        QVERIFY2(run.terminate(), qPrintable(run.output()));
        if (links)
            QVERIFY2(e2e::wholeDataRows(run.csvPath()) > 0, qPrintable(run.output()));
    }

    void publishedThroughABrokerRestart_data() {
        QTest::addColumn<bool>("downAtStart");
        QTest::addColumn<QString>("readings");
        QTest::newRow("broker restarted mid-run") << false << "logged";
        QTest::newRow("broker down at start") << true << "logged";
        // In Fast mode every reading is a row, so both choices publish the same.
        QTest::newRow("every reading, broker restarted") << false << "all";
    }
    void publishedThroughABrokerRestart() {
        QFETCH(bool, downAtStart);
        QFETCH(QString, readings);
        if (!startWatchedBroker())
            return;
        Broker& broker = *mqttBroker;
        const Subscriber& subscriber = *mqttSubscriber;
        if (downAtStart)
            QVERIFY(broker.stop());

        HeadlessRun run(instrument->home.path());
        QVERIFY(run.start({"--mqtt", QStringLiteral("mqtt://127.0.0.1:%1").arg(broker.port()),
                           "--mqtt-station", "rig", "--mqtt-readings", readings}));
        QVERIFY2(rowsGrowBy(run.csvPath(), 30), qPrintable(run.output()));
        if (!downAtStart) {
            QTRY_VERIFY_WITH_TIMEOUT(subscriber.count() > 0, 10000);
            QVERIFY(broker.stop());
            QVERIFY2(rowsGrowBy(run.csvPath(), 30), qPrintable(run.output()));
        }
        QVERIFY(broker.start());
        QTRY_VERIFY2_WITH_TIMEOUT(run.lastStatus().contains(QStringLiteral("broker connected")),
                                  qPrintable(run.output()), 30000);
        QVERIFY2(rowsGrowBy(run.csvPath(), 20), qPrintable(run.output()));
        QVERIFY2(run.terminate(), qPrintable(run.output()));

        const QStringList logged = rowReadings(checkedRows(run));
        if (QTest::currentTestFailed())
            return;
        QString fault;
        int repeats = 0;
        QTRY_COMPARE_WITH_TIMEOUT(publishedReadings(subscriber, &fault, &repeats), logged, 10000);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        // Only what was on its way when the broker stopped can come twice: at most the messages
        // in flight, and none when the broker never went away after the first message.
        QVERIFY2(repeats <= (downAtStart ? 0 : 20), qPrintable(QString::number(repeats)));
        // Publishing hands rows over and returns: no tick waited for the absent broker.
        const double longest = longestTickMs(run.lastStatus());
        QVERIFY2(longest >= 0 && longest < 100, qPrintable(run.lastStatus()));
        qInfo("%s; %d repeated after the broker restart", qPrintable(run.lastStatus()), repeats);
    }

    // A signal that rises through its high limit and falls back below the dead band: each change
    // is a line on standard output, the user's command run with its details, a row of the record
    // beside the log and the retained state on the broker, which a dashboard that subscribes
    // later still gets. Killed during an alarm, the logger leaves the record whole.
    void alarmToldEverywhere() {
        if (!startWatchedBroker())
            return;
        instrument = std::make_unique<e2e::InstrumentRig>();
        QVERIFY(
            instrument->startInstrument({"--wave", "sine", "--min", "0", "--max", "100", "--period",
                                         "12", "--decimals", "2", "--unit", "kg", "--rate", "10"}));
        const QString home = instrument->home.path();
        const QString told = home + "/told.txt";
        QFile script(home + "/lab-alarm");
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$KT7_DEVICE|$KT7_LABEL|$KT7_STATE|$KT7_LIMIT|$KT7_UNIT\" "
                     ">> \"$1\"\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
        QFile conf(home + "/alarms.conf");
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[device 1]\nhigh = 50\ndeadband = 5\n\n[notify]\ncommand = \"" +
                   script.fileName().toUtf8() + "\" \"" + told.toUtf8() + "\"\n");
        conf.close();

        HeadlessRun run(home);
        QVERIFY(run.start({"--alarms", conf.fileName(), "--mqtt",
                           QStringLiteral("mqtt://127.0.0.1:%1").arg(mqttBroker->port()),
                           "--mqtt-station", "rig"}));
        const auto lines = [&run](const char* text) { return run.out.count(text); };
        QVERIFY2(QTest::qWaitFor([&] { return lines("Alarm raised: device 1 (Scale) high") >= 1; },
                                 30000),
                 qPrintable(run.output()));
        // Subscribed after the crossing, during the alarm.
        Subscriber late(mqttBroker->port(), "kt7-test-dashboard");
        QTRY_VERIFY_WITH_TIMEOUT(late.count() > 0, 10000);
        const auto [topic, state] = late.received().front();
        QCOMPARE(topic, QByteArray("kt7/rig/1/alarm"));
        QVERIFY2(state.startsWith("{\"state\":\"high\",\"value\":"), state.constData());
        QVERIFY2(state.contains(",\"limit\":50,") && state.endsWith(",\"unit\":\"kg\",\"label\":"
                                                                    "\"Scale\"}"),
                 state.constData());

        QVERIFY2(
            QTest::qWaitFor([&] { return lines("Alarm raised: device 1 (Scale)") >= 2; }, 30000),
            qPrintable(run.output()));
        QVERIFY(::kill(pid_t(run.proc.processId()), SIGKILL) == 0);
        QVERIFY(run.proc.waitForFinished(15000));
        QCOMPARE(lines("Alarm ended: device 1 (Scale) high, "), 1);

        const e2e::CsvText record = e2e::readCsv(home + "/headless_alarms.csv");
        QVERIFY(!record.bareLineFeed && record.tail.isEmpty());
        QCOMPARE(record.lines.size(), 3);
        const int rows = int(e2e::readCsv(run.csvPath()).lines.size()) - 3;
        const QList<QByteArray> ended = record.lines[1].split(',');
        const QList<QByteArray> open = record.lines[2].split(',');
        QCOMPARE(ended.mid(0, 3), (QList<QByteArray>{"1", "high", "50"}));
        QVERIFY(e2e::thousandths(ended[5]) > 50000);
        QVERIFY(0 < ended[6].toInt() && ended[6].toInt() < ended[7].toInt() &&
                ended[7].toInt() <= open[6].toInt() && open[6].toInt() <= rows);
        QVERIFY2(!open[3].isEmpty() && open[4].isEmpty() && open[7].isEmpty(),
                 record.lines[2].constData());

        QFile commandRuns(told);
        QVERIFY(commandRuns.open(QIODevice::ReadOnly));
        QCOMPARE(commandRuns.readAll().split('\n').mid(0, 2),
                 (QList<QByteArray>{"1|Scale|high|50|kg", "1|Scale|ok|50|kg"}));
    }
};

KT7_REGISTER_TEST(HeadlessLoggingTest)
#include "HeadlessLoggingTest.moc"
