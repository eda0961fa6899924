#include "TickLogHelpers.h"
#include "common/TestRegistry.h"
#include "headless/HeadlessLogger.h"
#include "setup/SetupFile.h"

#include <QTest>

using namespace kt7test;

namespace {

// A logger without a window over its own fake ports and clock, started from a set-up file.
struct HeadlessBench {
    explicit HeadlessBench(const kt7::LoggerOptions& options, const QString& folder)
        : logger(
              options, ports, clock, messages, [this](const QString& line) { status << line; },
              kt7::CodePage::utf8(), folder) {
        for (int port = 1; port <= kt7::DeviceCount; ++port)
            ports.addPort(port);
        clock.onWait = [this](int) { ports.deliverPending(); };
    }
    FakeSerialPorts ports;
    FakeClock clock;
    FakeMessageBoxes messages;
    QStringList status;
    kt7::HeadlessLogger logger;
};

bool writeSetup(const QString& path, const kt7::SetupData& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(kt7::writeSetupFile(data, kt7::CodePage::utf8())) > 0;
}

// The rows without their date field, which tells when a row was written, not what it holds.
QList<QByteArray> rowsWithoutDates(const QString& path) {
    QList<QByteArray> rows = dataRows(path);
    for (QByteArray& row : rows) {
        QList<QByteArray> fields = row.split(',');
        if (fields.size() > 1)
            fields.removeAt(1);
        row = fields.join(',');
    }
    return rows;
}

// Tick t: device d sends (t + d) % 3 lines, so ticks differ in rows and devices in cells.
QList<QByteArray> linesOf(int tick, int device) {
    QList<QByteArray> lines;
    for (int k = 0; k < (tick + device) % 3; ++k)
        lines << QByteArray::number(tick * 10 + device) + '.' + QByteArray::number(k);
    return lines;
}

} // namespace

// The window and the logger without a window run one recorder: the same readings give the same
// rows, whatever the sampling options.
class HeadlessRowsTest : public QObject {
    Q_OBJECT

  private slots:
    void sameRowsAsTheWindow_data() {
        QTest::addColumn<int>("autoSample");
        QTest::addColumn<bool>("fast");
        QTest::addColumn<QString>("interval");
        QTest::newRow("Fast, every reading") << 1 << true << "100";
        QTest::newRow("every 3 s") << 1 << false << "3";
        QTest::newRow("Fast with interval rows too") << 1 << true << "4";
        QTest::newRow("partly on: interval rows only") << 2 << false << "2";
    }
    void sameRowsAsTheWindow() {
        QFETCH(int, autoSample);
        QFETCH(bool, fast);
        QFETCH(QString, interval);
        constexpr int devices = 3;
        constexpr int ticks = 12;

        LoggerBench window;
        for (int d = 0; d < devices; ++d)
            QVERIFY(window.linkDevice(d));
        (fast ? window.fastMode() : window.secMode())->setChecked(true);
        window.intervalBox()->setText(interval);
        QVERIFY(window.openLog(window.path("window.csv")));
        if (autoSample == 2)
            qobject_cast<QCheckBox*>(window.autoSample())->setCheckState(Qt::PartiallyChecked);
        else
            window.autoSample()->setChecked(true);

        kt7::SetupData setup;
        setup.general = {autoSample, fast, !fast, interval, QStringLiteral("300")};
        for (int d = 0; d < devices; ++d)
            setup.devices[d] = {0, "100", "0", d + 1, 0, QStringLiteral("D%1").arg(d + 1)};
        QVERIFY(writeSetup(window.path("rig.kt7"), setup));
        kt7::LoggerOptions options;
        options.setupPath = window.path("rig.kt7");
        options.logPath = window.path("headless.csv");
        HeadlessBench headless(options, window.path());
        for (int d = 0; d < devices; ++d)
            headless.ports.sendDuringWait(d + 1, deviceLine("1", "V"));
        QCOMPARE(headless.logger.start(), 0);
        QVERIFY2(headless.messages.shown.isEmpty(), qPrintable(headless.messages.shown.join('\n')));

        // Both count seconds from the same moment on.
        const QDateTime start(QDate(2026, 12, 7), QTime(18, 0, 0));
        window.fixture.clock.set(start);
        headless.clock.set(start);
        for (int t = 0; t < ticks; ++t) {
            for (int d = 0; d < devices; ++d)
                for (const QByteArray& value : linesOf(t, d)) {
                    window.send(d, value);
                    headless.ports.send(d + 1, deviceLine(value, "V"));
                }
            window.tick();
            headless.clock.current = headless.clock.current.addMSecs(1000);
            headless.logger.tick();
        }
        window.pressClose();
        QCOMPARE(headless.logger.finish(), 0);

        const QList<QByteArray> rows = rowsWithoutDates(window.path("window.csv"));
        QVERIFY(rows.size() >= 3);
        QCOMPARE(rowsWithoutDates(window.path("headless.csv")), rows);
        QCOMPARE(headless.logger.loggerSession().sampleCount(), window.session().sampleCount());
        QVERIFY(headless.status.last().contains(
            QStringLiteral("rows written %1, devices linked 3 (1 2 3)").arg(rows.size())));
    }

    // At the end (SIGTERM) the readings that came in after the last tick are logged as the next
    // tick would have logged them.
    void theEndLogsTheLastReadings() {
        QTemporaryDir folder;
        kt7::SetupData setup;
        setup.general = {1, true, false, QStringLiteral("100"), QStringLiteral("300")};
        setup.devices[0] = {0, "100", "0", 1, 0, QStringLiteral("D1")};
        QVERIFY(writeSetup(folder.filePath("rig.kt7"), setup));
        kt7::LoggerOptions options;
        options.setupPath = folder.filePath("rig.kt7");
        options.logPath = folder.filePath("log.csv");
        HeadlessBench headless(options, folder.path() + '/');
        headless.ports.sendDuringWait(1, deviceLine("1", "V"));
        QCOMPARE(headless.logger.start(), 0);
        headless.ports.send(1, deviceLine("2", "V"));
        headless.clock.advanceSeconds(1);
        headless.logger.tick();
        headless.ports.send(1, deviceLine("3", "V") + deviceLine("4", "V"));
        QCOMPARE(headless.logger.finish(), 0);
        QCOMPARE(rowsWithoutDates(options.logPath),
                 (QList<QByteArray>{"1,2,,,,,,,", "2,3,,,,,,,", "3,4,,,,,,,"}));
        QVERIFY(headless.status.last().contains("rows written 3,"));
    }

    // Where it cannot log, it says why in the window's words and ends with code 2; a log that
    // holds data is never overwritten.
    void cannotStart_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("message");
        QTest::newRow("no set-up file") << "missing.kt7"
                                        << "new.csv"
                                        << "could not be opened";
        QTest::newRow("log holds data") << "rig.kt7"
                                        << "old.csv"
                                        << "already holds data";
        QTest::newRow("log folder missing") << "rig.kt7"
                                            << "none/new.csv"
                                            << "could not be created";
    }
    void cannotStart() {
        QFETCH(QString, setup);
        QFETCH(QString, log);
        QFETCH(QString, message);
        QTemporaryDir folder;
        QVERIFY(writeSetup(folder.filePath("rig.kt7"), kt7::SetupData{}));
        QFile old(folder.filePath("old.csv"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("earlier run\r\n") > 0);
        old.close();
        kt7::LoggerOptions options;
        options.setupPath = folder.filePath(setup);
        options.logPath = folder.filePath(log);
        HeadlessBench headless(options, folder.path() + '/');
        QCOMPARE(headless.logger.start(), kt7::HeadlessLogger::CannotLog);
        QCOMPARE(headless.messages.shown.size(), 1);
        QVERIFY2(headless.messages.shown[0].contains(message),
                 qPrintable(headless.messages.shown[0]));
        QCOMPARE(fileBytes(folder.filePath("old.csv")), QByteArray("earlier run\r\n"));
    }

    void commandLine_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("fast") << "--headless --setup s.kt7 --fast --auto"
                              << "";
        QTest::newRow("every") << "--setup s.kt7 --every 5 --log x.csv --status-every 2"
                               << "";
        QTest::newRow("no set-up") << "--headless --fast"
                                   << "--setup FILE.kt7 is needed";
        QTest::newRow("both modes") << "--setup s.kt7 --fast --every 2"
                                    << "exclude each other";
        QTest::newRow("every 0") << "--setup s.kt7 --every 0"
                                 << "--every needs whole seconds";
        QTest::newRow("mqtt drain") << "--setup s.kt7 --mqtt-drain 0"
                                    << "";
        QTest::newRow("mqtt drain too long") << "--setup s.kt7 --mqtt-drain 61"
                                             << "--mqtt-drain needs whole seconds from 0 to 60";
        QTest::newRow("value missing") << "--setup s.kt7 --log"
                                       << "--log needs a value";
        QTest::newRow("unknown") << "--setup s.kt7 --window"
                                 << "unknown option";
        QTest::newRow("help needs no set-up") << "--headless --help"
                                              << "";
        QTest::newRow("empty broker") << "--setup s.kt7 --mqtt "
                                      << "--mqtt needs the broker's address";
        QTest::newRow("log is a folder") << "--setup s.kt7 --log ."
                                         << "--log names the folder";
        QTest::newRow("new file by week") << "--setup s.kt7 --new-file weekly"
                                          << "--new-file needs daily, hourly or a size";
        QTest::newRow("stray argument") << "--setup s.kt7 rig.kt7"
                                        << "unexpected argument";
        // The window: what only the logger without a window uses is refused, not ignored.
        const QString onlyHeadless = "works only with --headless";
        QTest::newRow("window, fast") << "window: --setup s.kt7 --fast" << onlyHeadless;
        QTest::newRow("window, every") << "window: --every 5" << onlyHeadless;
        QTest::newRow("window, new file") << "window: --new-file daily" << onlyHeadless;
        QTest::newRow("window, mqtt") << "window: --setup s.kt7 --link --mqtt mqtt://b"
                                      << "";
    }
    void commandLine() {
        QFETCH(QString, arguments);
        QFETCH(QString, error);
        const bool window = arguments.startsWith("window: ");
        const kt7::LoggerOptionsResult result =
            kt7::parseLoggerOptions(arguments.mid(window ? 8 : 0).split(QLatin1Char(' ')), !window);
        QCOMPARE(result.options.has_value(), error.isEmpty());
        QVERIFY2(error.isEmpty() ? result.error.isEmpty() : result.error.contains(error),
                 qPrintable(result.error));
        if (result.options && arguments.contains(QLatin1String("--every"))) {
            QCOMPARE(result.options->everySeconds, std::optional<int>(5));
            QCOMPARE(result.options->fastMode, std::optional<bool>(false));
            QCOMPARE(result.options->statusEverySeconds, 2);
        }
        if (result.options)
            QCOMPARE(result.options->mqttDrainSeconds,
                     arguments.contains(QLatin1String("--mqtt-drain 0")) ? 0 : 5);
    }

    // --help: every description starts in its column, below a name that reaches it.
    void helpKeepsDescriptionsInTheirColumn() {
        const QStringList lines = kt7::loggerOptionsHelp().split(QLatin1Char('\n'));
        const QString column(30, QLatin1Char(' '));
        for (int i = 0; i < lines.size(); ++i) {
            if (!lines[i].startsWith("  -"))
                continue;
            const QString described =
                lines.value(i + 1).startsWith(column) ? lines[i + 1] : lines[i];
            QVERIFY2(described.size() > 30 && described[29] == ' ' && described[30] != ' ',
                     qPrintable(lines[i]));
        }
    }
};

KT7_REGISTER_TEST(HeadlessRowsTest)
#include "HeadlessRowsTest.moc"
