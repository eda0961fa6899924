#include "chart/LogChart.h"
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
        kt7::DevicePoints points;
        for (int k = 1; k <= 100'000; ++k)
            points[0].append(QCPGraphData(k, std::sin(k * 0.01)));
        points[0][54'321].value = 50.0; // a lone spike
        points[1].append(QCPGraphData(7, -1.0));
        chart.setPoints(std::move(points));
        chart.showAll();
        chart.replot();
        QVERIFY(chart.drawsBuckets(0));
        QVERIFY(!chart.drawsBuckets(1));
        const auto drawn = chart.deviceGraphs()[0]->data();
        QVERIFY(drawn->size() < 100'000 / 8);
        bool found = false;
        QCOMPARE(drawn->valueRange(found).upper, 50.0);
        QCOMPARE(drawn->valueRange(found).lower, chart.points(0)->valueRange(found).lower);
        QCOMPARE(chart.pointCount(0), qsizetype(100'000));

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
