#include "E2eSupport.h"
#include "InstrumentRig.h"
#include "common/TestRegistry.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <csignal>
#include <memory>

// A logger killed outright (power cut, kill -9) while logging Fast keeps every row it had
// written: the file holds whole rows only, except at most a part of the very last one, and the
// sample numbers run without a gap.
class KillDurabilityTest : public QObject {
    Q_OBJECT

    static constexpr int Runs = 20;
    e2e::InstrumentRig
        instrument; // the logger here is the driver process, not a window of the test's

  private slots:
    void initTestCase() {
        // One instrument for all runs: each run starts the logger again on a port that a killed
        // logger held a moment ago.
        QVERIFY2(instrument.startInstrument(e2e::rampArguments(20) + QStringList{"--unit", "kg"}),
                 qPrintable(instrument.simulator->output()));
    }
    void cleanupTestCase() { instrument.simulator.reset(); }

    void killedLoggerLeavesWholeRows_data() {
        QTest::addColumn<int>("run");
        for (int run = 1; run <= Runs; ++run)
            QTest::addRow("run %d", run) << run;
    }
    void killedLoggerLeavesWholeRows() {
        QFETCH(int, run);
        QVERIFY(instrument.simulator->process().state() == QProcess::Running);
        const QString csvPath = instrument.home.filePath(QStringLiteral("killed-%1.csv").arg(run));

        QProcess driver;
        driver.setProcessEnvironment(kt7test::isolatedEnvironment(instrument.home.path()));
        driver.setProcessChannelMode(QProcess::MergedChannels);
        driver.start(QStringLiteral(KT7_DRIVER_PATH), {csvPath});
        QVERIFY2(driver.waitForStarted(15000), qPrintable(driver.errorString()));
        const auto driverOutput = [&driver] { return QString::fromLocal8Bit(driver.readAll()); };

        QTRY_VERIFY_WITH_TIMEOUT(
            e2e::wholeDataRows(csvPath) > 0 || driver.state() != QProcess::Running, 20000);
        QVERIFY2(driver.state() == QProcess::Running, qPrintable(driverOutput()));
        // The kill comes after a random number of further rows, so at a different point each run.
        const int seen = e2e::wholeDataRows(csvPath);
        const int more = 1 + int(QRandomGenerator::global()->bounded(50));
        QTRY_VERIFY_WITH_TIMEOUT(e2e::wholeDataRows(csvPath) >= seen + more ||
                                     driver.state() != QProcess::Running,
                                 20000);
        QVERIFY2(driver.state() == QProcess::Running, qPrintable(driverOutput()));
        const int beforeKill = e2e::wholeDataRows(csvPath);
        QVERIFY(::kill(pid_t(driver.processId()), SIGKILL) == 0);
        QVERIFY(driver.waitForFinished(15000));
        QCOMPARE(driver.exitStatus(), QProcess::CrashExit);

        const e2e::CsvText csv = e2e::readCsv(csvPath);
        QVERIFY2(!csv.bareLineFeed, "a line ends without CR LF");
        QVERIFY(csv.lines.size() >= 3);
        QCOMPARE(csv.lines[0], QByteArray("KT7,Data Logger,RS232,Vx1"));
        QCOMPARE(csv.lines[2], QByteArray(",,kg,us,us,us,us,us,us,us"));
        const QList<QByteArray> rows = csv.lines.mid(3);
        // Rows seen in the file before the kill are still there.
        QVERIFY2(rows.size() >= beforeKill,
                 qPrintable(
                     QStringLiteral("%1 rows after, %2 before").arg(rows.size()).arg(beforeKill)));
        const QString rowFault = e2e::checkDataRows(rows);
        QVERIFY2(rowFault.isEmpty(), qPrintable(rowFault));
        // The ramp rises, so the readings are in the order the instrument sent them.
        for (qsizetype r = 1; r < rows.size(); ++r)
            QVERIFY2(e2e::thousandths(rows[r].split(',')[2]) >
                         e2e::thousandths(rows[r - 1].split(',')[2]),
                     rows[r].constData());
        // A row cut off by the kill can only be the beginning of the next one.
        if (!csv.tail.isEmpty()) {
            const QByteArray next = QByteArray::number(rows.size() + 1) + ',';
            QVERIFY2(csv.tail.startsWith(next) || next.startsWith(csv.tail), csv.tail.constData());
            QVERIFY(csv.tail.count(',') < 10);
        }
    }
};

KT7_REGISTER_TEST(KillDurabilityTest)
#include "KillDurabilityTest.moc"
