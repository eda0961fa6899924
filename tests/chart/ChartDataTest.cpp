#include "chart/ChartComponent.h"
#include "common/TestRegistry.h"

#include <QTest>
#include <cmath>

using kt7::ChartComponent;
using kt7::SampleBlock;

namespace {

// A block of `rows` rows in which device d reads base + row * (d + 1) + d * 1000.
SampleBlock rampBlock(int rows, double base = 0.0) {
    SampleBlock block;
    for (int d = 0; d < kt7::DeviceCount; ++d)
        for (int r = 0; r < rows; ++r)
            block.columns[d].push_back(base + r * (d + 1) + d * 1000.0);
    return block;
}

SampleBlock constantBlock(int rows, double value) {
    SampleBlock block;
    for (auto& column : block.columns)
        column.assign(rows, value);
    return block;
}

QVector<double> keysOf(const ChartComponent& chart, int plot) {
    QVector<double> keys;
    const auto data = chart.graph(plot - 1)->data();
    for (auto it = data->constBegin(); it != data->constEnd(); ++it)
        keys << it->key;
    return keys;
}

QCPRange shownX(const ChartComponent& chart) {
    return chart.xAxis->range();
}
QCPRange shownY(const ChartComponent& chart, int plot) {
    return chart.graph(plot - 1)->valueAxis()->range();
}

} // namespace

class ChartDataTest : public QObject {
    Q_OBJECT

  private slots:
    void columnsGoToTheirPlotsAndXStepsAcrossBlocks() {
        ChartComponent chart;
        chart.appendBlock(rampBlock(3));
        chart.appendBlock(rampBlock(2, 50.0));
        chart.appendBlock(SampleBlock{});
        for (int plot = 1; plot <= 8; ++plot) {
            QCOMPARE(chart.pointCount(plot), 5);
            QCOMPARE(keysOf(chart, plot), QVector<double>({0, 1, 2, 3, 4}));
            const auto data = chart.graph(plot - 1)->data();
            const double offset = (plot - 1) * 1000.0;
            QCOMPARE(data->at(2)->value, offset + 2 * plot);
            QCOMPARE(data->at(4)->value, offset + 50.0 + plot);
        }
    }

    void emptyCellIsAGap() {
        SampleBlock block;
        for (auto& column : block.columns)
            column = {1.0, std::nullopt, 3.0};
        block.columns[5] = {std::nullopt, std::nullopt, std::nullopt};
        ChartComponent chart;
        chart.appendBlock(block);
        const auto data = chart.graph(0)->data();
        QCOMPARE(data->size(), 3);
        QCOMPARE(data->at(0)->value, 1.0);
        QVERIFY(std::isnan(data->at(1)->value));
        QCOMPARE(data->at(2)->key, 2.0);
        QCOMPARE(data->at(2)->value, 3.0);
        QCOMPARE(chart.pointCount(6), 3);
        QVERIFY(std::isnan(chart.graph(5)->data()->at(2)->value));
    }

    void stripKeepsSpanWithNewestAtRightEdge_data() {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("shownLower");
        QTest::addColumn<double>("shownUpper");
        QTest::newRow("fewer points than span") << 0.0 << 10.0 << 5 << 0.0 << 10.0;
        QTest::newRow("newest exactly at maximum") << 0.0 << 10.0 << 11 << 0.0 << 10.0;
        QTest::newRow("one past the maximum") << 0.0 << 10.0 << 12 << 1.0 << 11.0;
        QTest::newRow("long run") << 0.0 << 10.0 << 100 << 89.0 << 99.0;
        QTest::newRow("minimum above zero") << 20.0 << 30.0 << 40 << 29.0 << 39.0;
        QTest::newRow("negative span never scrolls") << 0.0 << -10.0 << 40 << -10.0 << 0.0;
    }
    void stripKeepsSpanWithNewestAtRightEdge() {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(int, points);
        QFETCH(double, shownLower);
        QFETCH(double, shownUpper);
        ChartComponent chart;
        chart.setAxisMaximum(1, maximum);
        chart.setAxisMinimum(1, minimum);
        // Appended in several blocks, as the sampling tick does.
        for (int appended = 0; appended < points; appended += 7)
            chart.appendBlock(rampBlock(std::min(7, points - appended)));
        QCOMPARE(shownX(chart), QCPRange(shownLower, shownUpper));
        QCOMPARE(chart.axisMinimum(1), minimum);
        QCOMPARE(chart.axisMaximum(1), maximum);
    }

    void settingXLimitsAfterALongRunSetsTheSpan() {
        ChartComponent chart;
        chart.appendBlock(rampBlock(50));
        chart.appendBlock(rampBlock(50));
        QCOMPARE(shownX(chart), QCPRange(0.0, 400.0));
        chart.setAxisMaximum(1, 30.0);
        QCOMPARE(shownX(chart), QCPRange(69.0, 99.0));
        chart.setAxisMaximum(1, 1000.0);
        QCOMPARE(shownX(chart), QCPRange(0.0, 1000.0));
    }

    void rescaleFitsWhatTheAxisShowsOnce() {
        ChartComponent chart;
        chart.setAxisMaximum(1, 9.0);
        chart.appendBlock(constantBlock(20, 5000.0)); // scrolls out of view
        chart.appendBlock(rampBlock(10, -3.0));       // keys 20..29, the visible ones
        QCOMPARE(shownX(chart), QCPRange(20.0, 29.0));
        chart.rescaleAxis(3);
        QCOMPARE(shownY(chart, 2), QCPRange(997.0, 1015.0));
        QCOMPARE(chart.axisMinimum(3), 997.0);
        QCOMPARE(chart.axisMaximum(3), 1015.0);
        QCOMPARE(shownY(chart, 1), QCPRange(-1000.0, 1000.0));

        chart.appendBlock(constantBlock(5, -7777.0));
        QCOMPARE(shownY(chart, 2), QCPRange(997.0, 1015.0));
    }

    void rescaleWithoutDataChangesNothing_data() {
        QTest::addColumn<int>("axis");
        QTest::addColumn<bool>("gapsOnly");
        QTest::newRow("X, empty chart") << 1 << false;
        QTest::newRow("Y, empty chart") << 5 << false;
        QTest::newRow("Y, only gaps") << 5 << true;
    }
    void rescaleWithoutDataChangesNothing() {
        QFETCH(int, axis);
        QFETCH(bool, gapsOnly);
        ChartComponent chart;
        if (gapsOnly) {
            SampleBlock block;
            for (auto& column : block.columns)
                column.assign(4, std::nullopt);
            chart.appendBlock(block);
        }
        const double minimum = chart.axisMinimum(axis);
        const double maximum = chart.axisMaximum(axis);
        chart.rescaleAxis(axis);
        QCOMPARE(chart.axisMinimum(axis), minimum);
        QCOMPARE(chart.axisMaximum(axis), maximum);
    }

    void rescaleOfFlatDataCentresTheSpan() {
        ChartComponent chart;
        chart.appendBlock(constantBlock(3, 42.0));
        chart.rescaleAxis(7); // device 6, span 120
        QCOMPARE(shownY(chart, 6), QCPRange(-18.0, 102.0));
    }

    void rescaleOfXFitsAllKeys() {
        ChartComponent chart;
        chart.appendBlock(rampBlock(25));
        chart.rescaleAxis(1);
        QCOMPARE(shownX(chart), QCPRange(0.0, 24.0));
        QCOMPARE(chart.axisMaximum(1), 24.0);
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
        QCOMPARE(chart.graph(0)->data()->at(0)->value, 7.0);
    }
};

KT7_REGISTER_TEST(ChartDataTest)
#include "ChartDataTest.moc"
