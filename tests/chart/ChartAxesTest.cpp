#include "chart/ChartComponent.h"
#include "chart/DeviceColours.h"
#include "common/TestRegistry.h"

#include <QTest>

using kt7::ChartComponent;

namespace {
QCPAxis* yAxisOfPlot(ChartComponent& chart, int plot) {
    return chart.graph(plot - 1)->valueAxis();
}
} // namespace

class ChartAxesTest : public QObject {
    Q_OBJECT

  private slots:
    void startRangesPerAxis_data() {
        QTest::addColumn<int>("axis");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<QString>("caption");
        QTest::newRow("X") << 1 << 0.0 << 400.0 << "Sec";
        QTest::newRow("device 1") << 2 << -1000.0 << 1000.0 << "";
        QTest::newRow("device 2") << 3 << -500.0 << 500.0 << "";
        QTest::newRow("device 3") << 4 << -1000.0 << 1000.0 << "";
        QTest::newRow("device 4") << 5 << -800.0 << 800.0 << "";
        QTest::newRow("device 5") << 6 << -2000.0 << 2000.0 << "";
        QTest::newRow("device 6") << 7 << -60.0 << 60.0 << "";
        QTest::newRow("device 7") << 8 << -500.0 << 500.0 << "";
        QTest::newRow("device 8") << 9 << -500.0 << 500.0 << "";
    }
    void startRangesPerAxis() {
        QFETCH(int, axis);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(QString, caption);
        ChartComponent chart;
        QCOMPARE(chart.axisMinimum(axis), minimum);
        QCOMPARE(chart.axisMaximum(axis), maximum);
        QCOMPARE(chart.axisCaption(axis), caption);
        QCPAxis* shown = axis == 1 ? chart.graph(0)->keyAxis() : yAxisOfPlot(chart, axis - 1);
        QCOMPARE(shown->range().lower, minimum);
        QCOMPARE(shown->range().upper, maximum);
        QVERIFY(!shown->rangeReversed());
    }

    void devicesOneToFourLeftFiveToEightRight() {
        ChartComponent chart;
        for (int plot = 1; plot <= 8; ++plot) {
            const auto side = plot <= 4 ? QCPAxis::atLeft : QCPAxis::atRight;
            QCOMPARE(yAxisOfPlot(chart, plot)->axisType(), side);
        }
        // Outermost first on the left, innermost first on the right: they read 1 2 3 4 | 5 6 7 8.
        const QList<QCPAxis*> left = chart.axisRect()->axes(QCPAxis::atLeft);
        const QList<QCPAxis*> right = chart.axisRect()->axes(QCPAxis::atRight);
        QCOMPARE(left.size(), 4);
        QCOMPARE(right.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(left[i], yAxisOfPlot(chart, 4 - i));
            QCOMPARE(right[i], yAxisOfPlot(chart, 5 + i));
        }
    }

    void limitsReportedAsSet_data() {
        QTest::addColumn<int>("axis");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("shownLower");
        QTest::addColumn<double>("shownUpper");
        QTest::addColumn<bool>("reversed");
        QTest::newRow("Y ordinary") << 4 << -5.0 << 25.0 << -5.0 << 25.0 << false;
        QTest::newRow("Y max below min") << 4 << 10.0 << -10.0 << -10.0 << 10.0 << true;
        QTest::newRow("Y max equals min keeps view") << 4 << 3.0 << 3.0 << -1000.0 << 3.0 << false;
        QTest::newRow("X ordinary") << 1 << 0.0 << 300.0 << 0.0 << 300.0 << false;
        QTest::newRow("X negative max") << 1 << 0.0 << -50.0 << -50.0 << 0.0 << true;
        QTest::newRow("X zero span keeps view") << 1 << 0.0 << 0.0 << 0.0 << 400.0 << false;
    }
    void limitsReportedAsSet() {
        QFETCH(int, axis);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(double, shownLower);
        QFETCH(double, shownUpper);
        QFETCH(bool, reversed);
        ChartComponent chart;
        chart.setAxisMaximum(axis, maximum);
        chart.setAxisMinimum(axis, minimum);
        QCOMPARE(chart.axisMinimum(axis), minimum);
        QCOMPARE(chart.axisMaximum(axis), maximum);
        QCPAxis* shown = axis == 1 ? chart.graph(0)->keyAxis() : yAxisOfPlot(chart, axis - 1);
        QCOMPARE(shown->range().lower, shownLower);
        QCOMPARE(shown->range().upper, shownUpper);
        QCOMPARE(shown->rangeReversed(), reversed);
    }

    void correctedLimitsTurnTheAxisUpright() {
        ChartComponent chart;
        chart.setAxisMinimum(2, 5000.0);
        QVERIFY(yAxisOfPlot(chart, 1)->rangeReversed());
        chart.setAxisMaximum(2, 9000.0);
        QVERIFY(!yAxisOfPlot(chart, 1)->rangeReversed());
        QCOMPARE(yAxisOfPlot(chart, 1)->range(), QCPRange(5000.0, 9000.0));
    }

    void captionsAndOtherAxesIndependent() {
        ChartComponent chart;
        chart.setAxisCaption(1, "1/3 sec ");
        chart.setAxisCaption(7, "kg");
        chart.setAxisMaximum(7, 42.0);
        QCOMPARE(chart.axisCaption(1), QString("1/3 sec "));
        QCOMPARE(chart.xAxis->label(), QString("1/3 sec "));
        QCOMPARE(yAxisOfPlot(chart, 6)->label(), QString("kg"));
        QCOMPARE(chart.axisCaption(6), QString());
        QCOMPARE(chart.axisMaximum(6), 2000.0);
        QCOMPARE(chart.axisMaximum(8), 500.0);
    }

    void deviceColoursByDefault_data() {
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
    void deviceColoursByDefault() {
        QFETCH(int, plot);
        QFETCH(QColor, colour);
        ChartComponent chart;
        QCOMPARE(kt7::deviceColour(plot - 1), colour);
        QCOMPARE(chart.plotColor(plot), colour);
        QCOMPARE(chart.axisLabelColor(plot + 1), colour);
        QCOMPARE(yAxisOfPlot(chart, plot)->basePen().color(), colour);
    }

    void coloursSetPerPlotAndAxis() {
        ChartComponent chart;
        chart.setPlotColor(3, Qt::darkGray);
        chart.setAxisLabelColor(4, Qt::magenta);
        QCOMPARE(chart.graph(2)->pen().color(), QColor(Qt::darkGray));
        QCOMPARE(chart.plotColor(3), QColor(Qt::darkGray));
        QCOMPARE(yAxisOfPlot(chart, 3)->tickLabelColor(), QColor(Qt::magenta));
        QCOMPARE(chart.axisLabelColor(4), QColor(Qt::magenta));
        QCOMPARE(chart.plotColor(4), kt7::deviceColour(3));
        QCOMPARE(chart.axisLabelColor(3), kt7::deviceColour(1));
    }

    void numbersOutsideTheChartAreIgnored() {
        ChartComponent chart;
        for (int bad : {0, 10, -1}) {
            chart.setAxisMaximum(bad, 7.0);
            chart.setAxisCaption(bad, "x");
            chart.rescaleAxis(bad);
            QVERIFY(std::isnan(chart.axisMaximum(bad)));
            QCOMPARE(chart.axisCaption(bad), QString());
        }
        chart.setPlotColor(9, Qt::black);
        QCOMPARE(chart.plotColor(9), QColor());
        QCOMPARE(chart.pointCount(0), 0);
    }
};

KT7_REGISTER_TEST(ChartAxesTest)
#include "ChartAxesTest.moc"
