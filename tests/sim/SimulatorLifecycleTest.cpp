#include "PortReader.h"
#include "common/SimulatorProcess.h"
#include "common/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/stat.h>

using kt7test::SimulatorProcess;

namespace {

// True when an entry (the link itself, not what it points to) exists at path.
bool entryExists(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

} // namespace

// Port links over the simulator's lifetime, the raw-file mode and the refusal of bad flags.
class SimulatorLifecycleTest : public QObject {
    Q_OBJECT

  private slots:
    void linksFollowTheSimulatorLifetime_data() {
        QTest::addColumn<int>("signal"); // 0: let --duration end the run
        QTest::addColumn<bool>("useXdgConfigHome");
        QTest::addColumn<bool>("unplug"); // --unplug-on-exit
        QTest::newRow("SIGTERM") << int(SIGTERM) << false << false;
        QTest::newRow("SIGINT") << int(SIGINT) << false << false;
        QTest::newRow("duration ends") << 0 << false << false;
        QTest::newRow("XDG_CONFIG_HOME set") << int(SIGTERM) << true << false;
        QTest::newRow("unplugged on SIGTERM") << int(SIGTERM) << false << true;
    }
    void linksFollowTheSimulatorLifetime() {
        QFETCH(int, signal);
        QFETCH(bool, useXdgConfigHome);
        QFETCH(bool, unplug);
        QTemporaryDir xdg;
        SimulatorProcess simulator({}, useXdgConfigHome ? xdg.path() + "/cfg" : QString());
        // A link left behind by an earlier run must be replaced, not refused.
        QVERIFY(QDir().mkpath(simulator.portsFolder()));
        QVERIFY(QFile::link("/nonexistent/tty", simulator.linkPath(1)));

        QStringList arguments{"--ports", "1,3", "--rate", "5"};
        if (signal == 0)
            arguments << "--duration"
                      << "0.5";
        if (unplug)
            arguments << "--unplug-on-exit";
        QVERIFY2(simulator.start(arguments), qPrintable(simulator.output()));

        const QStringList announced = simulator.announcements();
        QCOMPARE(announced.size(), 2);
        const QRegularExpression announcement("^COM(\\d+) -> (/dev/pts/\\d+)$");
        for (int i = 0; i < 2; ++i) {
            const auto match = announcement.match(announced[i]);
            QVERIFY2(match.hasMatch(), qPrintable(announced[i]));
            const int port = match.captured(1).toInt();
            QCOMPARE(port, i == 0 ? 1 : 3);
            QCOMPARE(QFile::symLinkTarget(simulator.linkPath(port)), match.captured(2));
        }
        QVERIFY(PortReader(simulator.linkPath(3)).isOpen());
        if (useXdgConfigHome)
            QVERIFY(!entryExists(simulator.home() + "/.config"));

        QVERIFY(signal == 0 ? simulator.finishedCleanly() : simulator.stopWith(signal));
        for (int port : {1, 3}) {
            // Unplugged, the entry stays and leads to a name that no terminal will ever get.
            QCOMPARE(entryExists(simulator.linkPath(port)), unplug);
            if (unplug)
                QVERIFY(!QFile::symLinkTarget(simulator.linkPath(port)).startsWith("/dev/"));
            QVERIFY(!QFileInfo::exists(simulator.linkPath(port)));
        }
    }

    void rawFileArrivesVerbatim_data() {
        QTest::addColumn<QString>("afterRaw");
        QTest::newRow("then idle") << "idle";
        QTest::newRow("then stream") << "stream";
    }
    void rawFileArrivesVerbatim() {
        QFETCH(QString, afterRaw);
        SimulatorProcess simulator;
        // Malformed on purpose: junk after a value, a lone CR, two blanks, NUL and 8-bit bytes, and
        // a last line without its end.
        static const char bytes[] =
            "12.3abc kg      \r\n\r 5 kg\r\n7.0  kg      \r\n\0\xff\x7f\n99.9 us";
        const QByteArray raw(bytes, sizeof bytes - 1);
        QFile file(simulator.home() + "/raw.bin");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(raw) == raw.size());
        file.close();
        const QString logPath = simulator.home() + "/sent.log";
        QVERIFY(simulator.start({"--ports", "1,2", "--wave", "const", "--raw-file", file.fileName(),
                                 "--after-raw", afterRaw, "--sent-log", logPath}));
        PortReader port(simulator.linkPath(2));

        QCOMPARE(port.readBytes(raw.size(), 3000), raw);
        if (afterRaw == "idle")
            QVERIFY(port.staysQuiet(300));
        else
            QCOMPARE(port.readBytes(18, 3000), QByteArray("32000.0 us      \r\n"));
        QVERIFY(simulator.stopWith(SIGTERM));

        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(log.readAll());
        for (const char* port : {"1", "2"}) {
            const QRegularExpression rawEntry(
                QStringLiteral("^\\d+ %1 %2 raw$").arg(port).arg(raw.size()),
                QRegularExpression::MultilineOption);
            QVERIFY2(rawEntry.match(text).hasMatch(), qPrintable(text));
        }
    }

    void rawFileWithExitEndsByItself() {
        SimulatorProcess simulator;
        QFile file(simulator.home() + "/raw.bin");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("1.0 kg      \r\n") == 14);
        file.close();
        QVERIFY(simulator.start(
            {"--devices", "2", "--raw-file", file.fileName(), "--after-raw", "exit"}));
        QVERIFY(simulator.finishedCleanly());
        QVERIFY(simulator.standardOutput().endsWith("ready\n"));
        QVERIFY(!entryExists(simulator.linkPath(1)));
        QVERIFY(!entryExists(simulator.linkPath(2)));
    }

    void rejectsBadArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unit with a blank") << QStringList{"--unit", "k g"};
        QTest::newRow("unit of nine characters") << QStringList{"--unit", "abcdefghi"};
        QTest::newRow("rate below 0.2") << QStringList{"--rate", "0.1"};
        QTest::newRow("port twice") << QStringList{"--ports", "2,2"};
        QTest::newRow("too few units") << QStringList{"--ports", "1,2", "--units", "kg"};
        QTest::newRow("unknown flag") << QStringList{"--frobnicate"};
    }
    void rejectsBadArguments() {
        QFETCH(QStringList, arguments);
        SimulatorProcess simulator;
        QVERIFY(!simulator.start(arguments, 5000));
        QCOMPARE(simulator.process().state(), QProcess::NotRunning);
        QCOMPARE(simulator.process().exitCode(), 2);
        QVERIFY(!simulator.process().readAllStandardError().isEmpty());
        QVERIFY(!simulator.standardOutput().contains("ready"));
        QVERIFY(!entryExists(simulator.portsFolder()));
    }
};

KT7_REGISTER_TEST(SimulatorLifecycleTest)
#include "SimulatorLifecycleTest.moc"
