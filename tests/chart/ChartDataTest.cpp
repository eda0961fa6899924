#include "chart/ChartComponent.h"
#include "common/TestRegistry.h"

#include <QTest>
#include <cmath>

using kt7::ChartComponent;
using kt7::SampleBlock;

namespace {

// Device d reads base + row * (d + 1) + d * 1000, so every cell tells where it came from.
SampleBlock rampBlock(int rows, double base = 0.0) {
    SampleBlock block;
    for (int d = 0; d < kt7::DeviceCount; ++d)
        for (int r = 0; r < rows; ++r)
            block.columns[d].push_back(base + r * (d + 1) + d * 1000.0);
    return block;
}

SampleBlock constantBlock(int rows, std::optional<double> value) {
    SampleBlock block;
    for (auto& column : block.columns)
        column.assign(rows, value);
    return block;
}

QVector<double> keysOf(const ChartComponent& chart, int plot) {
    QVector<double> keys;
    for (const QCPGraphData& point : *chart.graph(plot - 1)->data())
        keys << point.key;
    return keys;
}

QCPRange shownY(const ChartComponent& chart, int plot) {
    return chart.graph(plot - 1)->valueAxis()->range();
}

} // namespace

class ChartDataTest : public QObject {
    Q_OBJECT

  private slots:
    void columnsGoToTheirPlotsXStepsAcrossBlocksEmptyCellsAreGaps() {
        ChartComponent chart;
        chart.appendBlock(rampBlock(3));
        SampleBlock second = rampBlock(2, 50.0);
        second.columns[4][0].reset();
        chart.appendBlock(second);
        chart.appendBlock(SampleBlock{});
        for (int plot = 1; plot <= 8; ++plot) {
            QCOMPARE(keysOf(chart, plot), QVector<double>({0, 1, 2, 3, 4}));
            const auto data = chart.graph(plot - 1)->data();
            QCOMPARE(data->at(2)->value, (plot - 1) * 1000.0 + 2 * plot);
            QCOMPARE(data->at(4)->value, (plot - 1) * 1000.0 + 50.0 + plot);
            QCOMPARE(std::isnan(data->at(3)->value), plot == 5);
        }
    }

    void stripKeepsSpanWithNewestAtRightEdge_data() {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("setAfterAppending");
        QTest::addColumn<int>("points");
        QTest::addColumn<QCPRange>("shown");
        QTest::newRow("fewer points than span") << 0.0 << 10.0 << false << 5 << QCPRange(0, 10);
        QTest::newRow("newest at maximum") << 0.0 << 10.0 << false << 11 << QCPRange(0, 10);
        QTest::newRow("one past maximum") << 0.0 << 10.0 << false << 12 << QCPRange(1, 11);
        QTest::newRow("long run") << 0.0 << 10.0 << false << 100 << QCPRange(89, 99);
        QTest::newRow("minimum above zero") << 20.0 << 30.0 << false << 40 << QCPRange(29, 39);
        QTest::newRow("max below min never scrolls")
            << 0.0 << -10.0 << false << 40 << QCPRange(-10, 0);
        QTest::newRow("span set after a run") << 0.0 << 30.0 << true << 100 << QCPRange(69, 99);
        QTest::newRow("span wider than run") << 0.0 << 1000.0 << true << 100 << QCPRange(0, 1000);
        // An X-points text that is no number sets 0..0: the strip still follows the newest point.
        QTest::newRow("no span keeps the last span")
            << 0.0 << 0.0 << false << 500 << QCPRange(99, 499);
    }
    void stripKeepsSpanWithNewestAtRightEdge() {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(bool, setAfterAppending);
        QFETCH(int, points);
        QFETCH(QCPRange, shown);
        ChartComponent chart;
        const auto setLimits = [&] {
            chart.setAxisMaximum(1, maximum);
            chart.setAxisMinimum(1, minimum);
        };
        if (!setAfterAppending)
            setLimits();
        for (int appended = 0; appended < points; appended += 7)
            chart.appendBlock(rampBlock(std::min(7, points - appended)));
        if (setAfterAppending)
            setLimits();
        QCOMPARE(chart.xAxis->range(), shown);
        QCOMPARE(chart.axisMinimum(1), minimum);
        QCOMPARE(chart.axisMaximum(1), maximum);
    }

    void rescaleFitsVisibleDataOnce() {
        ChartComponent chart;
        chart.setAxisMaximum(1, 9.0);
        chart.appendBlock(constantBlock(20, 5000.0)); // scrolls out of view
        chart.appendBlock(rampBlock(10, -3.0));       // keys 20..29
        chart.rescaleAxis(3);
        QCOMPARE(shownY(chart, 2), QCPRange(997, 1015));
        QCOMPARE(chart.axisMinimum(3), 997.0);
        QCOMPARE(chart.axisMaximum(3), 1015.0);
        QCOMPARE(shownY(chart, 1), QCPRange(-1000, 1000));
        chart.appendBlock(constantBlock(5, -7777.0));
        QCOMPARE(shownY(chart, 2), QCPRange(997, 1015));

        chart.rescaleAxis(1);
        QCOMPARE(chart.xAxis->range(), QCPRange(0, 34));
    }

    void rescaleOfFlatOrMissingData_data() {
        QTest::addColumn<int>("axis");
        QTest::addColumn<int>("rows");
        QTest::addColumn<std::optional<double>>("value");
        QTest::addColumn<QCPRange>("shown");
        QTest::newRow("X, no points") << 1 << 0 << std::optional(1.0) << QCPRange(0, 400);
        QTest::newRow("Y, no points") << 7 << 0 << std::optional(1.0) << QCPRange(-60, 60);
        QTest::newRow("Y, only gaps") << 7 << 4 << std::optional<double>() << QCPRange(-60, 60);
        QTest::newRow("Y, flat keeps span") << 7 << 3 << std::optional(42.0) << QCPRange(-18, 102);
    }
    void rescaleOfFlatOrMissingData() {
        QFETCH(int, axis);
        QFETCH(int, rows);
        QFETCH(std::optional<double>, value);
        QFETCH(QCPRange, shown);
        ChartComponent chart;
        chart.appendBlock(constantBlock(rows, value));
        chart.rescaleAxis(axis);
        QCOMPARE(axis == 1 ? chart.xAxis->range() : shownY(chart, axis - 1), shown);
        QCOMPARE(chart.axisMinimum(axis), shown.lower);
        QCOMPARE(chart.axisMaximum(axis), shown.upper);
    }

    void historyCapDropsOldest() {
        ChartComponent chart;
        QCOMPARE(chart.historyCap(), 1'000'000);
        chart.appendBlock(rampBlock(10));
        chart.setHistoryCap(6);
        QCOMPARE(keysOf(chart, 1), QVector<double>({4, 5, 6, 7, 8, 9}));
        chart.appendBlock(rampBlock(3));
        for (int plot = 1; plot <= 8; ++plot)
            QCOMPARE(keysOf(chart, plot), QVector<double>({7, 8, 9, 10, 11, 12}));
        QCOMPARE(chart.pointCount(8), 6);
        QCOMPARE(chart.graph(0)->data()->at(0)->value, 7.0);
    }
};

KT7_REGISTER_TEST(ChartDataTest)
#include "ChartDataTest.moc"
