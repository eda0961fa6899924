#include "MeasureViewer.h"
#include "common/TestRegistry.h"
#include "fakes/FakeDialogs.h"
#include "interaction/ChartInteraction.h"
#include "measure/ChartMeasuring.h"
#include "measure/MeasureCursors.h"
#include "measure/MeasurePanel.h"
#include "viewer/DeviceLegend.h"
#include "viewer/LogViewer.h"

#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace kt7test;
using kt7::MeasureCursors;

namespace {

QPointF pixelAt(kt7::LogChart& chart, double key) {
    return {chart.xAxis->coordToPixel(key), chart.axisRect()->center().y() + 0.0};
}

void mouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void chooseFromMenu(kt7::ChartInteraction& tools, QPointF at, const QString& text) {
    std::unique_ptr<QMenu> menu(tools.createContextMenu(nullptr, at));
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action->trigger();
    QFAIL(qPrintable("no menu entry " + text));
}

QStringList rowOf(const QTableWidget* table, int row) {
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c)
        cells << table->item(row, c)->text();
    return cells;
}

} // namespace

// Cursors placed from the menu, with a key and by dragging, on a log that runs across midnight:
// each snaps to a row, and the panel reads the values at A and B, their change and the span.
class CursorReadoutTest : public QObject {
    Q_OBJECT
  private slots:
    void cursorsReadTheRowsTheyStandOn_data() {
        QTest::addColumn<bool>("time");
        QTest::addColumn<QString>("span");
        QTest::addColumn<QString>("rate");
        QTest::newRow("sample numbers") << false << "B - A: 72 samples"
                                        << "Rate per sample";
        QTest::newRow("time across midnight") << true << "B - A: 72 samples, 1 min 12 s"
                                              << "Rate per s";
    }
    void cursorsReadTheRowsTheyStandOn() {
        QFETCH(bool, time);
        QFETCH(QString, span);
        QFETCH(QString, rate);
        MeasureViewer fixture;
        auto& [dir, path, dialogs, messages, viewer] = fixture;
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        viewer.findChild<QCheckBox*>("TimeAxis")->setChecked(time);
        kt7::LogChart& chart = *viewer.chart();
        chart.replot();
        for (int d = 0; d < 8; ++d)
            QCOMPARE(viewer.legend()->isShown(d), d < 2); // never read: hidden from the start
        QVERIFY(!chart.deviceGraphs()[2]->visible() &&
                !chart.deviceGraphs()[2]->valueAxis()->visible());
        kt7::ChartMeasuring& measuring = *viewer.tools()->measuring();
        MeasureCursors& cursors = *measuring.cursors();
        const auto key = [time](int sample) { return kt7test::measureKey(sample, time); };

        // A from the menu a little off its row, B with the key where the mouse is.
        chooseFromMenu(*viewer.tools(), pixelAt(chart, key(5) + 0.3), "Set cursor A here");
        mouse(&chart, QEvent::MouseMove, pixelAt(chart, key(77) - 0.4), Qt::NoButton);
        QTest::keyClick(&chart, Qt::Key_B);
        QCOMPARE(cursors.key(MeasureCursors::A), key(5));
        QCOMPARE(cursors.key(MeasureCursors::B), key(77));
        kt7::MeasurePanel& panel = *measuring.panel();
        QVERIFY2(panel.spanText().endsWith(span), qPrintable(panel.spanText()));
        const QTableWidget* readout = panel.readoutTable();
        QCOMPARE(readout->rowCount(), 2);
        QCOMPARE(rowOf(readout, 0), QStringList({"Temp", "2.5 °C", "38.5 °C", "36 °C"}));
        QCOMPARE(rowOf(readout, 1), QStringList({"Flow", "5 l/min", "77 l/min", "72 l/min"}));

        // Dragging A moves the cursor onto another row and leaves the view where it was.
        const QCPRange before = chart.xAxis->range();
        mouse(&chart, QEvent::MouseButtonPress, pixelAt(chart, key(5)), Qt::LeftButton);
        mouse(&chart, QEvent::MouseMove, pixelAt(chart, key(9) + 0.2), Qt::LeftButton);
        mouse(&chart, QEvent::MouseButtonRelease, pixelAt(chart, key(9) + 0.2), Qt::NoButton);
        QCOMPARE(cursors.key(MeasureCursors::A), key(9));
        QCOMPARE(chart.xAxis->range(), before);
        QCOMPARE(rowOf(readout, 1), QStringList({"Flow", "-", "77 l/min", "-"}));

        // The statistics cover the rows between the cursors, and Copy takes them as they show.
        panel.setStatisticsShown(true);
        const QTableWidget* table = panel.statisticsTable();
        QVERIFY(table->isVisible());
        QCOMPARE(rowOf(table, 0).mid(2, 5), QStringList({"69", "0", "4.5", "38.5", "21.5"}));
        QCOMPARE(table->horizontalHeaderItem(table->columnCount() - 1)->text(), rate);
        QCOMPARE(rowOf(table, 0).last(), QStringLiteral("0.5")); // a sample a second
        QCOMPARE(rowOf(table, 1).mid(2, 2), QStringList({"46", "23"}));
        panel.findChild<QPushButton*>("CopyStatistics")->click();
        QCOMPARE(QApplication::clipboard()->text(), measuring.statistics().tabSeparated());

        // A trace switched off leaves the read-out and the statistics.
        viewer.legend()->entry(1)->setChecked(false);
        QVERIFY(!chart.deviceGraphs()[1]->visible());
        QCOMPARE(readout->rowCount(), 1);
        QCOMPARE(table->rowCount(), 1);

        chooseFromMenu(*viewer.tools(), {}, "Clear cursors");
        QVERIFY(!cursors.anySet());
        QVERIFY(readout->isHidden());
    }
};

KT7_REGISTER_TEST(CursorReadoutTest)
#include "CursorReadoutTest.moc"
