#include "E2eSupport.h"
#include "InstrumentRig.h"
#include "common/TestRegistry.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

// Fast logging with the real once-a-second timer: every reading the instrument sends while the
// log is open must reach the file once, in order, numbered without a gap.
class FastLoggingTest : public QObject {
    Q_OBJECT

  private slots:
    void everyReadingReachesTheLog() {
        e2e::InstrumentRig log;
        QVERIFY2(log.startInstrument(e2e::rampArguments() + QStringList{"--unit", "kg"}),
                 qPrintable(log.simulator->output()));
        log.openWindow();
        e2e::RealPortsWindow& f = *log.f;
        QVERIFY(f.window->sampleTimer()->isActive());
        // When each tick has finished; connected after the window's own handler, so it runs after.
        QList<qint64> tickEnds;
        QObject::connect(f.window->sampleTimer(), &QTimer::timeout, f.window.get(),
                         [&tickEnds] { tickEnds.append(QDateTime::currentMSecsSinceEpoch()); });
        // One tick first, as with a user: the first tick counts the seconds since the start of
        // the minute, which must not bring an interval row in this run.
        QTRY_VERIFY_WITH_TIMEOUT(!tickEnds.isEmpty(), 10000);

        const QString csvPath = log.home.filePath(QStringLiteral("fast.csv"));
        QVERIFY2(log.startLogging(csvPath), "the simulated instrument did not link or log");

        const auto* samples = f.control<QLabel>(QStringLiteral("LabelSamples"));
        QElapsedTimer running;
        running.start();
        QTRY_VERIFY_WITH_TIMEOUT(running.elapsed() >= 10000 && samples->text().toInt() >= 100,
                                 40000);
        f.window->ComFile_Click(1);
        QVERIFY(f.window->session().logFileName().isEmpty());
        QVERIFY2(f.messages.shown.isEmpty(), qPrintable(f.messages.shown.join('\n')));
        QVERIFY(tickEnds.size() >= 2);
        const qint64 beforeLastTick = tickEnds[tickEnds.size() - 2];

        const e2e::CsvText csv = e2e::readCsv(csvPath);
        QVERIFY2(!csv.bareLineFeed, "a line ends without CR LF");
        QVERIFY2(csv.tail.isEmpty(), csv.tail.constData());
        QVERIFY(csv.lines.size() > 3);
        QCOMPARE(csv.lines[0], QByteArray("KT7,Data Logger,RS232,Vx1"));
        QCOMPARE(csv.lines[1],
                 QByteArray(",,Label 1,Label 2,Label 3,Label 4,Label 5,Label 6,Label 7,Label 8"));
        QCOMPARE(csv.lines[2], QByteArray(",,kg,us,us,us,us,us,us,us"));
        const QList<QByteArray> rows = csv.lines.mid(3);
        const QString rowFault = e2e::checkDataRows(rows);
        QVERIFY2(rowFault.isEmpty(), qPrintable(rowFault));
        QCOMPARE(QString::number(rows.size()), samples->text());

        // The rows are the instrument's lines that followed the one the link showed, all of them.
        QList<kt7test::SentLine> after;
        const QString sentFault =
            e2e::checkRowsFollowSent(rows, log.sentLog, log.linkValue, &after);
        QVERIFY2(sentFault.isEmpty(), qPrintable(sentFault));
        // Whatever was sent before the tick preceding the last one ended was there for the last
        // tick to read, so it must be in the file.
        qsizetype due = 0;
        while (due < after.size() && after[due].epochMs < beforeLastTick)
            ++due;
        QVERIFY2(
            rows.size() >= due,
            qPrintable(QStringLiteral("%1 rows, %2 lines were due").arg(rows.size()).arg(due)));
    }
};

KT7_REGISTER_TEST(FastLoggingTest)
#include "FastLoggingTest.moc"
