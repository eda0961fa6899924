#include "viewer/LogChart.h"
#include "common/TestRegistry.h"

#include <QTest>
#include <cmath>

using kt7::LogChart;

// A zoomed-out log is drawn from the extremes of each bucket of points, zoomed in from every
// point; either way no reading's peak is lost.
class LogChartTest : public QObject {
    Q_OBJECT
  private slots:
    void bucketsKeepEveryPeakAndGiveWayWhenZoomedIn() {
        LogChart chart;
        chart.resize(600, 300);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        kt7::LogRows rows;
        const double empty = std::nan("");
        for (int k = 1; k <= 100'000; ++k) {
            rows.sampleNumbers.push_back(k);
            rows.seconds.push_back(k);
            rows.values[0].push_back(std::sin(k * 0.01));
            rows.values[1].push_back(k == 7 ? -1.0 : empty);
            for (int d = 2; d < 8; ++d)
                rows.values[d].push_back(empty);
        }
        rows.values[0][54'321] = 50.0; // a lone spike
        const double lowest = *std::min_element(rows.values[0].begin(), rows.values[0].end());
        chart.setRows(std::move(rows));
        chart.showAll();
        chart.replot();
        QVERIFY(chart.drawsBuckets(0));
        QVERIFY(!chart.drawsBuckets(1));
        const auto drawn = chart.deviceGraphs()[0]->data();
        QVERIFY(drawn->size() < 100'000 / 8);
        bool found = false;
        QCOMPARE(drawn->valueRange(found).upper, 50.0);
        QCOMPARE(drawn->valueRange(found).lower, lowest);
        QCOMPARE(chart.pointCount(0), qsizetype(100'000));
        // The axis holds the extremes with a little room, so neither lies on the frame.
        const QCPRange y = chart.deviceGraphs()[0]->valueAxis()->range();
        const double spread = 50.0 - lowest;
        QVERIFY(y.lower < lowest && y.lower > lowest - spread / 10);
        QVERIFY(y.upper > 50.0 && y.upper < 50.0 + spread / 10);

        // Narrower still: the second level, and the spike is still drawn.
        chart.resize(150, 300);
        chart.replot();
        const auto coarser = chart.deviceGraphs()[0]->data();
        QVERIFY(coarser->size() < 100'000 / 128);
        QCOMPARE(coarser->valueRange(found).upper, 50.0);
        chart.resize(600, 300);

        chart.xAxis->setRange(54'000, 55'000);
        chart.replot();
        QVERIFY(!chart.drawsBuckets(0));
    }
};

KT7_REGISTER_TEST(LogChartTest)
#include "LogChartTest.moc"
