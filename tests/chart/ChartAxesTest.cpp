#include "chart/ChartComponent.h"
#include "chart/DeviceColours.h"
#include "common/TestRegistry.h"

#include <QTest>

using kt7::ChartComponent;

namespace {
QCPAxis* shownAxis(const ChartComponent& chart, int axis) {
    return axis == 1 ? chart.xAxis : chart.graph(axis - 2)->valueAxis();
}
} // namespace

class ChartAxesTest : public QObject {
    Q_OBJECT

  private slots:
    void startState_data() {
        QTest::addColumn<int>("axis");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("side");
        QTest::newRow("X") << 1 << 0.0 << 400.0 << "Sec" << int(QCPAxis::atBottom);
        QTest::newRow("device 1") << 2 << -1000.0 << 1000.0 << "" << int(QCPAxis::atLeft);
        QTest::newRow("device 2") << 3 << -500.0 << 500.0 << "" << int(QCPAxis::atLeft);
        QTest::newRow("device 3") << 4 << -1000.0 << 1000.0 << "" << int(QCPAxis::atLeft);
        QTest::newRow("device 4") << 5 << -800.0 << 800.0 << "" << int(QCPAxis::atLeft);
        QTest::newRow("device 5") << 6 << -2000.0 << 2000.0 << "" << int(QCPAxis::atRight);
        QTest::newRow("device 6") << 7 << -60.0 << 60.0 << "" << int(QCPAxis::atRight);
        QTest::newRow("device 7") << 8 << -500.0 << 500.0 << "" << int(QCPAxis::atRight);
        QTest::newRow("device 8") << 9 << -500.0 << 500.0 << "" << int(QCPAxis::atRight);
    }
    void startState() {
        QFETCH(int, axis);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(QString, caption);
        QFETCH(int, side);
        ChartComponent chart;
        QCOMPARE(chart.axisMinimum(axis), minimum);
        QCOMPARE(chart.axisMaximum(axis), maximum);
        QCOMPARE(chart.axisCaption(axis), caption);
        QCPAxis* shown = shownAxis(chart, axis);
        QCOMPARE(shown->range(), QCPRange(minimum, maximum));
        QCOMPARE(int(shown->axisType()), side);
        QCOMPARE(shown->label(), caption);
    }

    void limitsReportedAsSet_data() {
        QTest::addColumn<int>("axis");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<QCPRange>("shown");
        QTest::addColumn<bool>("reversed");
        QTest::newRow("Y ordinary") << 4 << -5.0 << 25.0 << QCPRange(-5, 25) << false;
        QTest::newRow("Y max below min") << 4 << 10.0 << -10.0 << QCPRange(-10, 10) << true;
        // A zero-width range cannot be shown: the axis keeps what it showed before.
        QTest::newRow("Y max equals min") << 4 << 3.0 << 3.0 << QCPRange(-1000, 3) << false;
        QTest::newRow("X ordinary") << 1 << 0.0 << 300.0 << QCPRange(0, 300) << false;
        QTest::newRow("X negative max") << 1 << 0.0 << -50.0 << QCPRange(-50, 0) << true;
        QTest::newRow("X zero span") << 1 << 0.0 << 0.0 << QCPRange(0, 400) << false;
    }
    void limitsReportedAsSet() {
        QFETCH(int, axis);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(QCPRange, shown);
        QFETCH(bool, reversed);
        ChartComponent chart;
        chart.setAxisMaximum(axis, maximum);
        chart.setAxisMinimum(axis, minimum);
        QCOMPARE(chart.axisMinimum(axis), minimum);
        QCOMPARE(chart.axisMaximum(axis), maximum);
        QCOMPARE(shownAxis(chart, axis)->range(), shown);
        QCOMPARE(shownAxis(chart, axis)->rangeReversed(), reversed);
        chart.setAxisMaximum(axis, 9000.0);
        QVERIFY(!shownAxis(chart, axis)->rangeReversed());
    }

    void colours_data() {
        QTest::addColumn<int>("plot");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("device 1") << 1 << QColor(0, 0, 255);
        QTest::newRow("device 2") << 2 << QColor(255, 0, 0);
        QTest::newRow("device 3") << 3 << QColor(128, 128, 0);
        QTest::newRow("device 4") << 4 << QColor(0, 255, 0);
        QTest::newRow("device 5") << 5 << QColor(128, 0, 0);
        QTest::newRow("device 6") << 6 << QColor(128, 0, 128);
        QTest::newRow("device 7") << 7 << QColor(0, 255, 255);
        QTest::newRow("device 8") << 8 << QColor(0, 128, 128);
    }
    void colours() {
        QFETCH(int, plot);
        QFETCH(QColor, colour);
        ChartComponent chart;
        QCOMPARE(chart.plotColor(plot), colour);
        QCOMPARE(chart.axisLabelColor(plot + 1), colour);
        QCOMPARE(shownAxis(chart, plot + 1)->basePen().color(), colour);

        chart.setPlotColor(plot, Qt::darkGray);
        chart.setAxisLabelColor(plot + 1, Qt::magenta);
        QCOMPARE(chart.graph(plot - 1)->pen().color(), QColor(Qt::darkGray));
        QCOMPARE(shownAxis(chart, plot + 1)->tickLabelColor(), QColor(Qt::magenta));
        const int other = plot % 8 + 1;
        QCOMPARE(chart.plotColor(other), kt7::deviceColour(other - 1));
        QCOMPARE(chart.axisLabelColor(other + 1), kt7::deviceColour(other - 1));
    }
};

KT7_REGISTER_TEST(ChartAxesTest)
#include "ChartAxesTest.moc"
