#include "TickLogHelpers.h"
#include "chart/ChartComponent.h"
#include "common/TestRegistry.h"

#include <QTest>

using namespace kt7test;

namespace {

// Rows that carry a value for device 1 only, numbered from `first`, built at `when`.
QList<QByteArray> device1Rows(int first, const QDateTime& when, const QStringList& values) {
    QList<QByteArray> rows;
    for (const QString& value : values)
        rows << QByteArray::number(first++) + ',' + dateField(when) + ',' + value.toLatin1() +
                    ",,,,,,,";
    return rows;
}

// Device 1 sends `count` lines; line l of tick k carries the value 10 * k + l.
void sendLines(LoggerBench& bench, int tick, int count) {
    for (int l = 0; l < count; ++l)
        bench.send(0, QByteArray::number(10 * tick + l));
}

QString secCaption(const QString& interval, int count) {
    return interval + QStringLiteral(" Sec  *Count  ") + QString::number(count);
}

const QString startCaption = QStringLiteral("5 Sec  *Count  0");

} // namespace

class TickRowsTest : public QObject {
    Q_OBJECT

    // Device 1 linked, a log open, the interval and mode set, one tick run before the test's
    // ticks: the running timer has always stamped a second before a user can click.
    static void prepare(LoggerBench& bench, QTime start, const QString& interval, bool fast) {
        bench.fixture.clock.set(QDateTime(QDate(2026, 12, 7), start));
        QVERIFY(bench.linkDevice(0));
        QVERIFY(bench.openLog(bench.path()));
        bench.intervalBox()->setText(interval);
        QCOMPARE(bench.intervalBox()->text(), interval);
        (fast ? bench.fastMode() : bench.secMode())->setChecked(true);
        bench.tick();
    }

  private slots:
    void rowsWrittenPerTick_data() {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<bool>("fast");
        QTest::addColumn<bool>("autoSample");
        QTest::addColumn<QList<int>>("advanceMs");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QList<QStringList>>("rows"); // device 1 values of each tick's rows
        QTest::addColumn<QStringList>("captions");    // LabInvCount after each tick

        const QTime t(17, 34, 20);
        const QList<int> second10(10, 1000);
        const QList<int> one10(10, 1);
        const QString i5 = QStringLiteral("5");
        QTest::newRow("Sec every 5 s")
            << t << i5 << false << true << second10 << one10
            << QList<QStringList>{{}, {}, {}, {}, {"50"}, {}, {}, {}, {}, {"100"}}
            << QStringList{secCaption(i5, 1), secCaption(i5, 2), secCaption(i5, 3),
                           secCaption(i5, 4), secCaption(i5, 0), secCaption(i5, 1),
                           secCaption(i5, 2), secCaption(i5, 3), secCaption(i5, 4),
                           secCaption(i5, 0)};
        QTest::newRow("interval 1 writes every tick")
            << t << "1" << false << true << QList<int>{1000, 1000, 1000} << QList<int>{1, 1, 1}
            << QList<QStringList>{{"10"}, {"20"}, {"30"}}
            << QStringList{secCaption("1", 0), secCaption("1", 0), secCaption("1", 0)};
        QTest::newRow("2.5 rounds to an even 2")
            << t << "2.5" << false << true << QList<int>(4, 1000) << QList<int>(4, 1)
            << QList<QStringList>{{}, {"20"}, {}, {"40"}}
            << QStringList{secCaption("2.5", 1), secCaption("2.5", 0), secCaption("2.5", 1),
                           secCaption("2.5", 0)};
        QTest::newRow("two ticks in one second add 0")
            << t << "2" << false << true << QList<int>{1000, 300, 1000} << QList<int>{1, 1, 1}
            << QList<QStringList>{{}, {}, {"30"}}
            << QStringList{secCaption("2", 1), secCaption("2", 1), secCaption("2", 0)};
        QTest::newRow("a late tick adds 2")
            << t << i5 << false << true << QList<int>{1000, 2000, 1000, 1000} << QList<int>(4, 1)
            << QList<QStringList>{{}, {}, {}, {"40"}}
            << QStringList{secCaption(i5, 1), secCaption(i5, 3), secCaption(i5, 4),
                           secCaption(i5, 0)};
        QTest::newRow("minute roll-over")
            << QTime(17, 34, 57) << i5 << false << true << QList<int>{1000, 1000, 3000}
            << QList<int>{1, 1, 1} << QList<QStringList>{{}, {}, {"30"}}
            << QStringList{secCaption(i5, 1), secCaption(i5, 2), secCaption(i5, 0)};
        QTest::newRow("a tick without data still counts")
            << t << "3" << false << true << QList<int>(3, 1000) << QList<int>{1, 0, 1}
            << QList<QStringList>{{}, {}, {"30"}}
            << QStringList{secCaption("3", 1), secCaption("3", 1), secCaption("3", 0)};
        QTest::newRow("Fast writes every line plus the interval row")
            << t << "3" << true << true << QList<int>(3, 1000) << QList<int>(3, 2)
            << QList<QStringList>{{"10", "11"}, {"20", "21"}, {"30", "31", "31"}}
            << QStringList(3, startCaption);
        QTest::newRow("Auto Sample unchecked writes nothing")
            << t << "1" << false << false << QList<int>(2, 1000) << QList<int>(2, 1)
            << QList<QStringList>{{}, {}} << QStringList(2, startCaption);
        QTest::newRow("Fast needs Auto Sample")
            << t << "1" << true << false << QList<int>{1000} << QList<int>{3}
            << QList<QStringList>{{}} << QStringList{startCaption};
        // Text the tick cannot read as 1..32767 never triggers a row, however long it counts.
        for (const QString& text : {QStringLiteral("abc"), QString(), QStringLiteral("40000"),
                                    QStringLiteral("32768"), QStringLiteral("7x")})
            QTest::addRow("interval \"%s\"", qPrintable(text))
                << t << text << false << true << QList<int>(3, 1000) << QList<int>(3, 1)
                << QList<QStringList>{{}, {}, {}}
                << QStringList{secCaption(text, 1), secCaption(text, 2), secCaption(text, 3)};
    }
    void rowsWrittenPerTick() {
        QFETCH(QTime, start);
        QFETCH(QString, interval);
        QFETCH(bool, fast);
        QFETCH(bool, autoSample);
        QFETCH(QList<int>, advanceMs);
        QFETCH(QList<int>, lines);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QStringList, captions);

        LoggerBench bench;
        prepare(bench, start, interval, fast);
        if (QTest::currentTestFailed())
            return;
        bench.autoSample()->setChecked(autoSample);
        QCOMPARE(bench.intervalCaption(), startCaption);

        int written = 0;
        for (int k = 0; k < advanceMs.size(); ++k) {
            const QByteArray tick = "tick " + QByteArray::number(k + 1);
            sendLines(bench, k + 1, lines[k]);
            bench.tick(advanceMs[k]);
            // Read through another handle: every row is with the system when the tick ends.
            const QList<QByteArray> all = dataRows(bench.path());
            QVERIFY2(all.size() == written + rows[k].size(), tick);
            QCOMPARE(all.mid(written), device1Rows(written + 1, bench.now(), rows[k]));
            written = all.size();
            QCOMPARE(bench.session().sampleCount(), written);
            QVERIFY2(bench.samplesCaption() == QString::number(written), tick);
            QVERIFY2(bench.intervalCaption() == captions[k],
                     tick + ": " + bench.intervalCaption().toLatin1());
        }
        QCOMPARE(bench.fixture.messages.shown, QStringList());
    }

    // Data arrived but no line ended: nothing is charted or logged and the captions stay.
    void tickWithoutACompleteLine() {
        LoggerBench bench;
        prepare(bench, QTime(17, 34, 20), QStringLiteral("1"), false);
        bench.autoSample()->setChecked(true);
        bench.send(0, "7");
        bench.tick();
        QCOMPARE(dataRows(bench.path()).size(), 1);
        const kt7::ChartComponent* chart = bench.window().chart();
        const QString xCaption = chart->axisCaption(1);
        QCOMPARE(xCaption, QStringLiteral("1/1 sec "));
        const qsizetype points = chart->pointCount(1);
        const QString counting = bench.intervalCaption();

        bench.fixture.ports.send(1, "-1234.5"); // more than six characters, no line end
        bench.tick();
        QCOMPARE(dataRows(bench.path()).size(), 1);
        QCOMPARE(bench.session().sampleCount(), 1);
        QCOMPARE(chart->axisCaption(1), xCaption);
        QCOMPARE(chart->pointCount(1), points);
        QCOMPARE(bench.intervalCaption(), counting);

        bench.fixture.ports.send(1, " V       \r\n"); // the line ends: its value is logged now
        bench.tick();
        QCOMPARE(dataRows(bench.path()).mid(1), device1Rows(2, bench.now(), {"-1234.5"}));
        QCOMPARE(chart->pointCount(1), points + 1);
    }

    void manualSample_data() {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<bool>("fast");
        QTest::addColumn<bool>("autoSample");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("Fast without Auto Sample: the last line only")
            << "5" << true << false << 3 << QStringList{"12"};
        QTest::newRow("Sec before the interval is due")
            << "5" << false << true << 1 << QStringList{"10"};
        QTest::newRow("interval text not a number")
            << "abc" << false << true << 1 << QStringList{"10"};
        QTest::newRow("Fast with Auto Sample: block, then the request")
            << "5" << true << true << 2 << QStringList{"10", "11", "11"};
    }
    void manualSample() {
        QFETCH(QString, interval);
        QFETCH(bool, fast);
        QFETCH(bool, autoSample);
        QFETCH(int, lines);
        QFETCH(QStringList, rows);

        LoggerBench bench;
        prepare(bench, QTime(17, 34, 20), interval, fast);
        if (QTest::currentTestFailed())
            return;
        bench.autoSample()->setChecked(autoSample);
        bench.manualSample()->setChecked(true);
        sendLines(bench, 1, lines);
        bench.tick();
        QCOMPARE(dataRows(bench.path()), device1Rows(1, bench.now(), rows));
        QVERIFY(!bench.manualSample()->isChecked());
        if (autoSample && !fast) // the request restarts the interval
            QCOMPARE(bench.intervalCaption(), secCaption(interval, 0));
        sendLines(bench, 2, 1); // a one-shot request: the next tick adds no request row
        bench.tick();
        QCOMPARE(dataRows(bench.path()).size(), rows.size() + (autoSample && fast ? 1 : 0));
    }

    // The request waits for an open log and a tick with data.
    void manualSampleBeforeTheLogIsOpen() {
        LoggerBench bench;
        QVERIFY(bench.linkDevice(0));
        bench.manualSample()->setChecked(true);
        bench.send(0, "4.5");
        bench.tick();
        QVERIFY(bench.manualSample()->isChecked());
        QVERIFY(bench.session().logFileName().isEmpty());

        QVERIFY(bench.openLog(bench.path()));
        bench.tick(); // no data
        QVERIFY(bench.manualSample()->isChecked());
        QCOMPARE(dataRows(bench.path()), QList<QByteArray>());

        bench.send(0, "4.75");
        bench.tick();
        QCOMPARE(dataRows(bench.path()), device1Rows(1, bench.now(), {"4.75"}));
        QVERIFY(!bench.manualSample()->isChecked());
        QCOMPARE(bench.samplesCaption(), QStringLiteral("1"));
    }

    void intervalBoxAfterAnEdit_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0") << "0"
                           << "1";
        QTest::newRow("-3") << "-3"
                            << "1";
        QTest::newRow("1.4 rounds to 1") << "1.4"
                                         << "1";
        QTest::newRow("2.5") << "2.5"
                             << "2.5";
        QTest::newRow("12") << "12"
                            << "12";
        QTest::newRow("empty while retyping") << ""
                                              << "";
        QTest::newRow("not a number") << "abc"
                                      << "abc";
        QTest::newRow("a sign alone") << "-"
                                      << "-";
    }
    void intervalBoxAfterAnEdit() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        WindowFixture fixture;
        auto* box = fixture.control<QLineEdit>("TextLogInterval");
        box->setText(typed);
        QCOMPARE(box->text(), shown);
    }
};

KT7_REGISTER_TEST(TickRowsTest)
#include "TickRowsTest.moc"
