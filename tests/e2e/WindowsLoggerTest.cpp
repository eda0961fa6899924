#include "../publish/Broker.h"
#include "../publish/Subscriber.h"
#include "../publish/TestCertificates.h"
#include "E2eSupport.h"
#include "common/ScratchHome.h"
#include "common/SimulatorProcess.h"
#include "common/TestRegistry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

// The Windows headless logger (kt7-headless.exe under wine) on eight simulated instruments at the
// full line rate, beside the Linux one on eight more: the same CSV checks, the same readings per
// second. Runs when KT7_WINDOWS_BUILD names the Windows build, whose installed folder (stage/bin,
// as the installer ships it) it runs, and WINEPREFIX a prefix whose COM ports lead to
// $WINEPREFIX/kt7-ports/com<n> (scripts/windows-leg.sh makes both).
namespace {

QString windowsBuild() {
    return qEnvironmentVariable("KT7_WINDOWS_BUILD");
}

QString winePort(int n) {
    return qEnvironmentVariable("WINEPREFIX") + QStringLiteral("/kt7-ports/com%1").arg(n);
}

// Every COM port of the prefix back to a path that does not exist.
void unplugWinePorts() {
    for (int n = 1; n <= kt7test::PortCount; ++n) {
        QFile::remove(winePort(n));
        QFile::link(QStringLiteral("/nonexistent/kt7-com%1").arg(n), winePort(n));
    }
}

QString windowsPath(const QString& path) {
    return QStringLiteral("Z:") + QDir::toNativeSeparators(path);
}

// CPU seconds the process has used so far (user and system), from /proc.
double cpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / 100.0;
}

// CPU seconds of wine's own processes (wineserver, and winedevice where the serial driver
// runs): the Windows logger's system calls are partly served there.
double wineSeconds() {
    double total = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        const QByteArray name = comm.open(QIODevice::ReadOnly) ? comm.readAll() : QByteArray();
        if (name.startsWith("wineserver") || name.startsWith("winedevice"))
            total += cpuSeconds(pid.toLongLong());
    }
    return total;
}

// Eight instruments at 50 lines a second each (8-character values fill a 9600-baud line), every
// line sent logged, and a headless logger on them, Linux's or Windows'.
struct Station {
    explicit Station(bool windows) : windows(windows), simulator(home.path()) {}

    bool start(const QStringList& environment = {}, const QStringList& extra = {}) {
        sentLog = home.filePath(QStringLiteral("sent.log"));
        if (!kt7test::makeDanglingPorts(home.path()) ||
            !simulator.start({"--devices", "8", "--rate", "100", "--min", "1000", "--max", "9000",
                              "--wave", "ramp", "--period", "600", "--decimals", "3", "--sent-log",
                              sentLog}))
            return false;
        QByteArray setup = "0,#FALSE#,#TRUE#,\"5\",\"300\"\r\n";
        for (int n = 1; n <= 8; ++n)
            setup += QByteArray::number(n) + ",\"100\",\"0\"," + QByteArray::number(n) +
                     ",0,\"Dev" + QByteArray::number(n) + "\"\r\n";
        QFile file(home.filePath(QStringLiteral("rig.kt7")));
        if (!file.open(QIODevice::WriteOnly) || file.write(setup) != setup.size())
            return false;
        file.close();
        QProcessEnvironment env = kt7test::isolatedEnvironment(home.path());
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("WINEPATH")); // the DLLs beside the program, as installed
        for (const QString& pair : environment)
            env.insert(pair.section('=', 0, 0), pair.section('=', 1));
        logger.setProcessEnvironment(env);
        QObject::connect(&logger, &QProcess::readyReadStandardOutput,
                         [this] { out += logger.readAllStandardOutput(); });
        QObject::connect(&logger, &QProcess::readyReadStandardError,
                         [this] { err += logger.readAllStandardError(); });
        const QStringList options = QStringList{"--fast", "--auto", "--status-every", "5"} + extra;
        if (windows) {
            // The simulator's terminals become the prefix's COM 1 to COM 8.
            for (const QString& line : simulator.announcements()) {
                const int n = line.section(' ', 0, 0).mid(3).toInt();
                QFile::remove(winePort(n));
                QFile::link(line.section(QStringLiteral(" -> "), 1), winePort(n));
            }
            logger.start(QStringLiteral("wine"),
                         QStringList{windowsBuild() + QStringLiteral("/stage/bin/kt7-headless.exe"),
                                     "--setup", windowsPath(home.filePath("rig.kt7")), "--log",
                                     windowsPath(csvPath())} +
                             options);
        } else {
            logger.start(
                QStringLiteral(KT7_LOGGER_PATH),
                QStringList{"--headless", "--setup", home.filePath("rig.kt7"), "--log", csvPath()} +
                    options);
        }
        return logger.waitForStarted(15000);
    }
    bool logging() const { return out.contains("Logging to"); }
    // Ctrl+C (wine turns SIGINT into it): the logger ends by itself with code 0.
    bool interrupt() {
        ::kill(static_cast<pid_t>(logger.processId()), SIGINT);
        return logger.waitForFinished(30000) && logger.exitStatus() == QProcess::NormalExit &&
               logger.exitCode() == 0;
    }
    QString csvPath() const { return home.filePath(QStringLiteral("log.csv")); }
    QString output() const { return QString::fromLocal8Bit(out + "\n--- stderr:\n" + err); }

    bool windows;
    QTemporaryDir home;
    kt7test::SimulatorProcess simulator;
    QString sentLog;
    QProcess logger;
    QByteArray out;
    QByteArray err;
};

// Readings per device per second, over the whole seconds of the log (the date field's seconds,
// the first and last left out as partly logged).
double readingsPerDeviceSecond(const QList<QByteArray>& rows) {
    QMap<QByteArray, int> cellsPerSecond;
    QList<QByteArray> order;
    for (const QByteArray& row : rows) {
        const QList<QByteArray> fields = row.split(',');
        if (!cellsPerSecond.contains(fields.value(1)))
            order.append(fields.value(1));
        for (int f = 2; f < fields.size(); ++f)
            cellsPerSecond[fields.value(1)] += fields[f].isEmpty() ? 0 : 1;
    }
    if (order.size() < 3)
        return 0;
    double cells = 0;
    for (qsizetype i = 1; i + 1 < order.size(); ++i)
        cells += cellsPerSecond[order[i]];
    return cells / 8.0 / double(order.size() - 2);
}

} // namespace

class WindowsLoggerTest : public QObject {
    Q_OBJECT

    // The CSV of a finished run: header, CR LF, sample numbers without a gap, and each device's
    // readings as its instrument sent them, in order.
    static void checkLog(Station& station) {
        const e2e::CsvText csv = e2e::readCsv(station.csvPath());
        QVERIFY2(!csv.bareLineFeed, "a line ends without CR LF");
        QVERIFY2(csv.tail.isEmpty(), csv.tail.constData());
        QVERIFY(csv.lines.size() > 3);
        QCOMPARE(csv.lines[0], QByteArray("KT7,Data Logger,RS232,Vx1"));
        QCOMPARE(csv.lines[1], QByteArray(",,Dev1,Dev2,Dev3,Dev4,Dev5,Dev6,Dev7,Dev8"));
        QCOMPARE(csv.lines[2], QByteArray(",,us,us,us,us,us,us,us,us"));
        const QList<QByteArray> rows = csv.lines.mid(3);
        for (int device = 1; device <= 8; ++device) {
            const QString fault = e2e::checkDeviceColumn(rows, device, station.sentLog);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }
    }

  private slots:
    void initTestCase() {
        if (windowsBuild().isEmpty() || qEnvironmentVariableIsEmpty("WINEPREFIX"))
            QSKIP(
                "KT7_WINDOWS_BUILD and WINEPREFIX are not set (scripts/windows-leg.sh sets them)");
        unplugWinePorts();
    }
    void cleanup() { unplugWinePorts(); }

    void eightDevicesAtFullRateBesideLinux() {
        Station linux(false);
        Station windows(true);
        QVERIFY2(linux.start(), qPrintable(linux.simulator.output()));
        QVERIFY2(windows.start(), qPrintable(windows.simulator.output()));
        QTRY_VERIFY2_WITH_TIMEOUT(linux.logging() && windows.logging(),
                                  qPrintable(linux.output() + windows.output()), 60000);
        const double linuxStart = cpuSeconds(linux.logger.processId());
        const double windowsStart = cpuSeconds(windows.logger.processId());
        const double serverStart = wineSeconds();
        QElapsedTimer running;
        running.start();
        QTest::qWait(60000);
        const double seconds = running.elapsed() / 1000.0;
        const double linuxCpu = cpuSeconds(linux.logger.processId()) - linuxStart;
        const double windowsCpu = cpuSeconds(windows.logger.processId()) - windowsStart;
        const double serverCpu = wineSeconds() - serverStart;
        QVERIFY2(linux.interrupt(), qPrintable(linux.output()));
        QVERIFY2(windows.interrupt(), qPrintable(windows.output()));
        // The final status line, as on Linux.
        QVERIFY2(windows.out.trimmed().split('\n').last().contains("rows written"),
                 qPrintable(windows.output()));
        checkLog(linux);
        checkLog(windows);

        const double linuxRate =
            readingsPerDeviceSecond(e2e::readCsv(linux.csvPath()).lines.mid(3));
        const double windowsRate =
            readingsPerDeviceSecond(e2e::readCsv(windows.csvPath()).lines.mid(3));
        qInfo("Readings logged per device per second: Linux %.2f, Windows under wine %.2f",
              linuxRate, windowsRate);
        qInfo("CPU over %.0f s, 8 devices at the full rate, logging Fast: Linux headless %.2f %% "
              "of a core, Windows headless under wine %.2f %% (and wine's own processes %.2f %%)",
              seconds, 100 * linuxCpu / seconds, 100 * windowsCpu / seconds,
              100 * serverCpu / seconds);
        QVERIFY(linuxRate > 40);
        QVERIFY2(qAbs(windowsRate - linuxRate) <= 0.02 * linuxRate,
                 qPrintable(QStringLiteral("%1 against %2").arg(windowsRate).arg(linuxRate)));
    }

    // A German Windows desktop (wine takes it from LANG): the date as Germany writes it, the
    // numbers still with a point; the rows published over TLS to the Linux broker, with the
    // settings in %APPDATA%\kt7-logger\mqtt.conf.
    void germanDesktopPublishingOverTls() {
        if (Broker::program().isEmpty())
            QSKIP("the mosquitto broker is not installed (Debian package mosquitto)");
        TestCertificates certificates;
        const QString made = certificates.make(QStringLiteral("rig"), QStringLiteral("S3cret-pw"));
        QVERIFY2(made.isEmpty(), qPrintable(made));
        Broker broker(&certificates);
        QVERIFY(broker.start());
        const Subscriber subscriber(broker.port());
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.isSubscribed(), 10000);

        // wine gives a program its own %APPDATA%, the user's folder in the prefix.
        const QStringList users =
            QDir(qEnvironmentVariable("WINEPREFIX") + QStringLiteral("/drive_c/users"))
                .entryList({QStringLiteral("*")}, QDir::Dirs | QDir::NoDotAndDotDot)
                .filter(QRegularExpression(QStringLiteral("^(?!Public$)")));
        QVERIFY(!users.isEmpty());
        const QString settings = qEnvironmentVariable("WINEPREFIX") +
                                 QStringLiteral("/drive_c/users/") + users.first() +
                                 QStringLiteral("/AppData/Roaming/kt7-logger");
        QVERIFY(QDir().mkpath(settings));
        QFile conf(settings + QStringLiteral("/mqtt.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write(QStringLiteral("url=mqtts://127.0.0.1:%1\nusername=rig\npassword=S3cret-pw\n"
                                  "cafile=%2\n")
                       .arg(broker.tlsPort())
                       .arg(windowsPath(certificates.caFile()))
                       .toUtf8());
        conf.close();
        const auto removeSettings = qScopeGuard([&conf] { conf.remove(); });
        Station windows(true);
        QVERIFY2(
            windows.start({"LANG=de_DE.UTF-8", "LC_ALL=de_DE.UTF-8"}, {"--mqtt-station", "rig"}),
            qPrintable(windows.simulator.output()));
        QTRY_VERIFY2_WITH_TIMEOUT(windows.logging(), qPrintable(windows.output()), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(e2e::wholeDataRows(windows.csvPath()) > 200, 20000);
        QTRY_VERIFY2_WITH_TIMEOUT(subscriber.count() > 100, qPrintable(windows.output()), 20000);
        QVERIFY2(windows.interrupt(), qPrintable(windows.output()));
        QVERIFY2(windows.out.contains("broker connected"), qPrintable(windows.output()));
        checkLog(windows);
        const QByteArray date = e2e::readCsv(windows.csvPath()).lines.value(3).split(',').value(1);
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\d{2}\\.\\d{2}\\.\\d{4} \\d{2}:\\d{2}:\\d{2}$"))
                .match(QString::fromLatin1(date))
                .hasMatch(),
            date.constData());
    }
};

KT7_REGISTER_TEST(WindowsLoggerTest)
#include "WindowsLoggerTest.moc"
