#include "E2eSupport.h"
#include "RealPortsWindow.h"
#include "common/TestRegistry.h"

#include <QCheckBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Fast logging with the real once-a-second timer: every reading the instrument sends while the
// log is open must reach the file once, in order, numbered without a gap.
class FastLoggingTest : public QObject {
    Q_OBJECT

  private slots:
    void everyReadingReachesTheLog() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QVERIFY(e2e::makeDanglingPorts(home.path()));
        const e2e::HomeOverride isolated(home.path());
        const QString sentLog = home.path() + QStringLiteral("/sent.log");
        const QString csvPath = home.path() + QStringLiteral("/fast.csv");
        e2e::Simulator simulator(home.path());
        // A slow ramp with three decimals: no value repeats within the run.
        QVERIFY2(simulator.start({"--devices",  "1",    "--first-port", "1",    "--wave",   "ramp",
                                  "--min",      "0",    "--max",        "1000", "--period", "1000",
                                  "--decimals", "3",    "--unit",       "kg",   "--rate",   "10",
                                  "--sent-log", sentLog}),
                 qPrintable(simulator.output()));

        e2e::RealPortsWindow f(home.path());
        QVERIFY(f.window->sampleTimer()->isActive());
        // When each tick has finished; connected after the window's own handler, so it runs after.
        QList<qint64> tickEnds;
        QObject::connect(f.window->sampleTimer(), &QTimer::timeout, f.window.get(),
                         [&tickEnds] { tickEnds.append(QDateTime::currentMSecsSinceEpoch()); });
        // One tick first, as with a user: the first tick counts the seconds since the start of
        // the minute, which must not bring an interval row in this run.
        QTRY_VERIFY_WITH_TIMEOUT(!tickEnds.isEmpty(), 10000);

        f.button(QStringLiteral("OptDev"), 2)->setChecked(true);
        f.button(QStringLiteral("OptLogMode"), 0)->setChecked(true);
        f.control<QLineEdit>(QStringLiteral("TextLogInterval"))->setText(QStringLiteral("100"));
        f.control<QCheckBox>(QStringLiteral("CheckLogAuto"))->setChecked(true);
        QAbstractButton* link = f.button(QStringLiteral("Ch_Link"), 0);
        link->setChecked(true);
        QVERIFY2(link->isChecked(), "the simulated instrument did not link");
        const QByteArray linkValue = f.labelText(QStringLiteral("LabMSData"), 0).toLatin1();
        f.dialogs.answers = QStringList{csvPath};
        f.window->ComFile_Click(0);
        QCOMPARE(f.window->state().LogFileName, csvPath);

        const auto* samples = f.control<QLabel>(QStringLiteral("LabelSamples"));
        QElapsedTimer running;
        running.start();
        QTRY_VERIFY_WITH_TIMEOUT(running.elapsed() >= 10000 && samples->text().toInt() >= 100,
                                 40000);
        f.window->ComFile_Click(1);
        QVERIFY(f.window->state().LogFileName.isEmpty());
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
        QList<e2e::SentLine> after;
        const QString sentFault = e2e::checkRowsFollowSent(rows, sentLog, linkValue, &after);
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
