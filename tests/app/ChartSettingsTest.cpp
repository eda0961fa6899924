#include "chart/ChartComponent.h"
#include "common/TestRegistry.h"
#include "common/WindowFixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QTest>

#include <limits>
#include <utility>
#include <vector>

using namespace kt7test;

namespace {

constexpr int XAxis = 1;
int yAxis(int device) {
    return device + 2;
}

void appendValues(kt7::ChartComponent& chart, int device, std::initializer_list<double> values) {
    kt7::SampleBlock block;
    for (auto& column : block.columns)
        column.assign(values.size(), std::nullopt);
    int row = 0;
    for (double value : values)
        block.columns[device][row++] = value;
    chart.appendBlock(block);
}

// Every range an axis of the chart shows, in the order the axes showed them.
class RangeRecorder {
  public:
    explicit RangeRecorder(kt7::ChartComponent& chart) {
        for (QCPAxis* axis : chart.axisRect()->axes())
            QObject::connect(axis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), axis,
                             [this](const QCPRange& range) { ranges.push_back(range); });
    }
    std::vector<QCPRange> ranges;
};

} // namespace

// The Y limits, "Auto", the X-points box and the "Set Y Axis " switch of the chart.
class ChartSettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void limitTextReachesTheAxisAtOnce_data() {
        QTest::addColumn<int>("device");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("minimum");
        QTest::newRow("emptied maximum") << 0 << "TextYMax"
                                         << "" << 0.0 << -500.0;
        QTest::newRow("lone minus as minimum") << 1 << "TextYMin"
                                               << "-" << 500.0 << 0.0;
        QTest::newRow("maximum with a unit") << 2 << "TextYMax"
                                             << "50 kg" << 50.0 << -1000.0;
        // The start range of device 4 is not its box texts; any edit applies both boxes.
        QTest::newRow("device 4 edit applies both") << 3 << "TextYMin"
                                                    << "-7999" << 8000.0 << -7999.0;
        QTest::newRow("minimum above maximum") << 5 << "TextYMin"
                                               << "100" << 60.0 << 100.0;
    }

    void limitTextReachesTheAxisAtOnce() {
        QFETCH(int, device);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(double, maximum);
        QFETCH(double, minimum);
        WindowFixture f({1});
        kt7::ChartComponent* chart = f.window->chart();
        f.control<QLineEdit>(box, device)->setText(text);
        QCOMPARE(chart->axisMaximum(yAxis(device)), maximum);
        QCOMPARE(chart->axisMinimum(yAxis(device)), minimum);
        // Device 7 keeps its start range, which differs from its texts.
        QCOMPARE(chart->axisMaximum(yAxis(6)), 500.0);
        QCOMPARE(chart->axisMinimum(yAxis(6)), -500.0);
    }

    // Limits no axis can show are kept as set; the axis goes on showing its last range.
    void limitsBeyondTheNumberRangeLeaveTheAxisDrawable() {
        WindowFixture f({1});
        kt7::ChartComponent* chart = f.window->chart();
        RangeRecorder recorder(*chart);
        f.control<QLineEdit>("TextYMax", 1)->setText("1e999");
        f.control<QLineEdit>("TextYMin", 1)->setText("-1e999");
        QCOMPARE(chart->axisMaximum(yAxis(1)), std::numeric_limits<double>::infinity());
        QCOMPARE(chart->axisMinimum(yAxis(1)), -std::numeric_limits<double>::infinity());
        QCOMPARE(recorder.ranges.size(), size_t(0));
        appendValues(*chart, 1, {1, 2});
        f.control<QCheckBox>("ChY_Auto", 1)->setChecked(true);
        QCOMPARE(chart->axisMinimum(yAxis(1)), 1.0);
        QCOMPARE(chart->axisMaximum(yAxis(1)), 2.0);
        QVERIFY(!f.window->grab().isNull());
    }

    void typingANegativeMinimum() {
        WindowFixture f({1});
        kt7::ChartComponent* chart = f.window->chart();
        auto* box = f.control<QLineEdit>("TextYMin", 0);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Minus);
        QCOMPARE(box->text(), QStringLiteral("-"));
        QCOMPARE(chart->axisMinimum(yAxis(0)), 0.0);
        QCOMPARE(chart->axisMaximum(yAxis(0)), 500.0);
        QTest::keyClicks(box, "40");
        QCOMPARE(chart->axisMinimum(yAxis(0)), -40.0);
    }

    void autoRefitsOnceAndHoldsTypedLimitsUntilOff() {
        WindowFixture f({1});
        kt7::ChartComponent* chart = f.window->chart();
        appendValues(*chart, 2, {10, 20, 15});
        auto* autoBox = f.control<QCheckBox>("ChY_Auto", 2);
        autoBox->setChecked(true);
        QCOMPARE(chart->axisMinimum(yAxis(2)), 10.0);
        QCOMPARE(chart->axisMaximum(yAxis(2)), 20.0);

        // Only the check refits; later points and typed limits leave the range alone.
        appendValues(*chart, 2, {100});
        f.control<QLineEdit>("TextYMax", 2)->setText("30");
        f.control<QLineEdit>("TextYMin", 2)->setText("-20");
        QCOMPARE(chart->axisMinimum(yAxis(2)), 10.0);
        QCOMPARE(chart->axisMaximum(yAxis(2)), 20.0);

        RangeRecorder recorder(*chart);
        autoBox->setChecked(false);
        QCOMPARE(chart->axisMaximum(yAxis(2)), 30.0);
        QCOMPARE(chart->axisMinimum(yAxis(2)), -20.0);
        // Refit to 10..100, then the maximum, then the minimum.
        QCOMPARE(recorder.ranges.size(), size_t(3));
        QCOMPARE(recorder.ranges[0], QCPRange(10, 100));
        QCOMPARE(recorder.ranges[1], QCPRange(10, 30));
        QCOMPARE(recorder.ranges[2], QCPRange(-20, 30));
    }

    void xPointsKeys_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("minimum");
        const int none = Qt::NoModifier;
        QTest::newRow("Return, number and unit")
            << "50 kg" << int(Qt::Key_Return) << none << 50.0 << 0.0;
        QTest::newRow("keypad Enter, exponent")
            << "1e3" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1000.0 << 0.0;
        QTest::newRow("Shift+Return")
            << "300" << int(Qt::Key_Return) << int(Qt::ShiftModifier) << 300.0 << 0.0;
        QTest::newRow("Return, no number") << "abc" << int(Qt::Key_Return) << none << 0.0 << 0.0;
        QTest::newRow("Return, negative number")
            << "-100" << int(Qt::Key_Return) << none << -100.0 << 0.0;
        QTest::newRow("digit key") << "300" << int(Qt::Key_5) << none << 400.0 << -50.0;
        QTest::newRow("Tab") << "300" << int(Qt::Key_Tab) << none << 400.0 << -50.0;
        QTest::newRow("Escape") << "300" << int(Qt::Key_Escape) << none << 400.0 << -50.0;
    }

    void xPointsKeys() {
        QFETCH(QString, text);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(double, maximum);
        QFETCH(double, minimum);
        WindowFixture f({1});
        kt7::ChartComponent* chart = f.window->chart();
        chart->setAxisMinimum(XAxis, -50); // so that Enter's minimum of 0 shows
        auto* box = f.control<QLineEdit>("Text_Chart_Pts");
        box->setText(text);
        QCOMPARE(chart->axisMaximum(XAxis), 400.0);
        QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(chart->axisMaximum(XAxis), maximum);
        QCOMPARE(chart->axisMinimum(XAxis), minimum);
    }

    void setYAxisSwapsYAndTareFrames_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("Device Link") << 1;
        QTest::newRow("Data Logger") << 2;
    }

    void setYAxisSwapsYAndTareFrames() {
        QFETCH(int, page);
        WindowFixture f({1});
        f.selectPage(page);
        auto* frameY = f.control<QGroupBox>("FrameY");
        auto* frameTare = f.control<QGroupBox>("FrameTare");
        auto* setY = f.control<QCheckBox>("ChSetY");
        QVERIFY(frameY->isHidden() && !frameTare->isHidden());
        setY->setChecked(true);
        QVERIFY(!frameY->isHidden() && frameTare->isHidden());
        setY->setChecked(false);
        QVERIFY(frameY->isHidden() && !frameTare->isHidden());
    }
};

KT7_REGISTER_TEST(ChartSettingsTest)
#include "ChartSettingsTest.moc"
