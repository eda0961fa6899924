#include "PortReader.h"
#include "common/SimulatorProcess.h"
#include "common/TestRegistry.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <csignal>

using kt7test::SimulatorProcess;

namespace {

QByteArray valueOf(const QByteArray& line) {
    return line.left(line.indexOf(' '));
}

} // namespace

// What arrives on a port: the line format, the pace, and the agreement with the sent log.
class SimulatorStreamTest : public QObject {
    Q_OBJECT

  private slots:
    void linesHaveTheInstrumentFormat_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("lowest");
        QTest::addColumn<double>("highest");
        QTest::newRow("constant, unit us") << QStringList{"--wave", "const", "--value", "32000"}
                                           << "^32000\\.0 us {6}\r\n$" << 32000.0 << 32000.0;
        QTest::newRow("eight-character unit, no padding")
            << QStringList{"--wave",     "const", "--value", "-2.5",
                           "--decimals", "3",     "--unit",  "abcdefgh"}
            << "^-2\\.500 abcdefgh\r\n$" << -2.5 << -2.5;
        QTest::newRow("sine, two decimals")
            << QStringList{"--wave",  "sine", "--min",      "-50", "--max",  "50",
                           "--noise", "0",    "--decimals", "2",   "--unit", "kg"}
            << "^-?\\d+\\.\\d\\d kg {6}\r\n$" << -50.0 << 50.0;
        QTest::newRow("ramp, no decimals")
            << QStringList{"--wave", "ramp",       "--min", "100",    "--max",
                           "900",    "--decimals", "0",     "--unit", "N"}
            << "^\\d+ N {7}\r\n$" << 100.0 << 900.0;
        QTest::newRow("ramp-hold, per-device range")
            << QStringList{"--waves", "ramp-hold", "--ranges", "20:180", "--noise",
                           "0",       "--period",  "600",      "--unit", "degC"}
            << "^\\d+\\.\\d degC {4}\r\n$" << 20.0 << 180.0;
        QTest::newRow("settle, per-device period")
            << QStringList{"--wave",    "settle", "--min",    "0", "--max",  "500",
                           "--periods", "90",     "--noises", "0", "--unit", "N"}
            << "^\\d+\\.\\d N {7}\r\n$" << 0.0 << 500.0;
        QTest::newRow("pulse") << QStringList{"--wave",     "pulse", "--min",   "1",
                                              "--max",      "6.5",   "--noise", "0",
                                              "--decimals", "2",     "--unit",  "bar"}
                               << "^\\d\\.\\d\\d bar {5}\r\n$" << 1.0 << 6.5;
        // The degree sign goes out as the instrument's single byte 0xB0, padded as one character.
        QTest::newRow("degree sign as one byte")
            << QStringList{"--wave", "const", "--value", "21", "--unit", "\u00b0C"}
            << "^21\\.0 \u00b0C {6}\r\n$" << 21.0 << 21.0;
    }
    void linesHaveTheInstrumentFormat() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, pattern);
        QFETCH(double, lowest);
        QFETCH(double, highest);
        SimulatorProcess simulator;
        QVERIFY(simulator.start(QStringList{"--devices", "1", "--rate", "50"} + arguments));
        PortReader port(simulator.linkPath(1));
        QVERIFY(port.isOpen());

        const QByteArrayList lines = port.readLines(5, 3000);
        QCOMPARE(lines.size(), 5);
        const QRegularExpression format(pattern);
        for (const QByteArray& line : lines) {
            QVERIFY2(format.match(QString::fromLatin1(line)).hasMatch(), line.constData());
            const double value = valueOf(line).toDouble();
            QVERIFY2(value >= lowest && value <= highest, line.constData());
        }
    }

    void paceFollowsRateUpToLineSpeed_data() {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<int>("fewest");
        QTest::addColumn<int>("most");
        QTest::newRow("20 lines per second") << "20" << 15 << 25;
        // 18-byte lines at 960 bytes per second: at most 53 lines per second.
        QTest::newRow("200 asked, 9600 baud allows 53") << "200" << 40 << 57;
    }
    void paceFollowsRateUpToLineSpeed() {
        QFETCH(QString, rate);
        QFETCH(int, fewest);
        QFETCH(int, most);
        SimulatorProcess simulator;
        QVERIFY(simulator.start({"--devices", "1", "--wave", "const", "--rate", rate}));
        PortReader port(simulator.linkPath(1));
        port.discardWaiting();
        QCOMPARE(port.readLines(1, 2000).size(), 1);

        QElapsedTimer clock;
        clock.start();
        int count = 0;
        while (clock.elapsed() < 1000)
            count += int(port.readLines(1, int(1000 - clock.elapsed())).size());
        QVERIFY2(count >= fewest && count <= most, QByteArray::number(count).constData());
    }

    void sentLogListsWhatArrived() {
        SimulatorProcess simulator;
        const QString logPath = simulator.home() + "/sent.log";
        const qint64 startMs = QDateTime::currentMSecsSinceEpoch();
        QVERIFY(simulator.start({"--ports", "2,5", "--wave", "ramp", "--max", "1000", "--period",
                                 "100", "--decimals", "3", "--rate", "50", "--sent-log", logPath}));
        PortReader port(simulator.linkPath(5));
        const QByteArrayList lines = port.readLines(10, 3000);
        QCOMPARE(lines.size(), 10);
        QVERIFY(simulator.stopWith(SIGTERM));
        const qint64 endMs = QDateTime::currentMSecsSinceEpoch();

        QByteArrayList loggedForPort5;
        int loggedForPort2 = 0;
        qint64 previousMs = 0;
        for (const kt7test::SentLine& entry : kt7test::readSentLog(logPath)) {
            QVERIFY(!entry.dropped);
            QVERIFY(entry.epochMs >= startMs && entry.epochMs <= endMs);
            QVERIFY(entry.epochMs >= previousMs);
            previousMs = entry.epochMs;
            if (entry.port == 5)
                loggedForPort5.append(entry.value);
            loggedForPort2 += entry.port == 2 ? 1 : 0;
        }
        QVERIFY(loggedForPort2 > 0);
        QVERIFY(loggedForPort5.size() >= lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QCOMPARE(valueOf(lines[i]), loggedForPort5[i]);
    }

    // Nobody reads: the terminal fills up, lines are dropped whole, and the simulator still
    // stops promptly. What later arrives is exactly the lines logged as sent, none torn.
    void fullPortDropsWholeLinesOnly() {
        SimulatorProcess simulator;
        const QString logPath = simulator.home() + "/sent.log";
        QVERIFY(simulator.start({"--devices", "1", "--baud", "4000000", "--rate", "10000", "--wave",
                                 "ramp", "--max", "1000000", "--period", "1000", "--decimals", "3",
                                 "--sent-log", logPath}));
        const auto anyDropped = [&] {
            const QList<kt7test::SentLine> entries = kt7test::readSentLog(logPath);
            return std::any_of(entries.begin(), entries.end(), [](auto& e) { return e.dropped; });
        };
        QTRY_VERIFY_WITH_TIMEOUT(anyDropped(), 10000);

        PortReader port(simulator.linkPath(1));
        const QByteArrayList lines = port.readLines(6000, 5000);
        QCOMPARE(lines.size(), 6000);
        QVERIFY(simulator.stopWith(SIGTERM));

        QByteArrayList sent;
        for (const kt7test::SentLine& entry : kt7test::readSentLog(logPath))
            if (!entry.dropped)
                sent.append(entry.value);
        QVERIFY(sent.size() >= lines.size());
        const QRegularExpression format("^\\d+\\.\\d{3} us {6}\r\n$");
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QVERIFY2(format.match(QString::fromLatin1(lines[i])).hasMatch(), lines[i].constData());
            QCOMPARE(valueOf(lines[i]), sent[i]);
        }
    }
};

KT7_REGISTER_TEST(SimulatorStreamTest)
#include "SimulatorStreamTest.moc"
