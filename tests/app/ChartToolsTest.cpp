#include "chart/ChartComponent.h"
#include "chart/DeviceColours.h"
#include "common/TestRegistry.h"
#include "common/WindowFixture.h"
#include "interaction/ChartInteraction.h"
#include "measure/ChartMeasuring.h"
#include "measure/MeasureCursors.h"
#include "measure/MeasurePanel.h"

#include <QMenu>
#include <QTableWidget>
#include <QTest>

using namespace kt7test;
using kt7::ChartComponent;

namespace {

void appendRows(ChartComponent& chart, int rows, double base = 0.0) {
    kt7::SampleBlock block;
    for (int d = 0; d < kt7::DeviceCount; ++d)
        for (int r = 0; r < rows; ++r)
            block.columns[d].push_back(base + r + 10.0 * d);
    chart.appendBlock(block);
}

void sendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButtons buttons,
               Qt::MouseButton button = Qt::NoButton) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void sendWheel(QWidget* widget, QPointF at, int steps) {
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * steps), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// A shown main window whose chart has laid out its axes, with 100 points per device.
struct ShownChart {
    ShownChart() {
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        chart = f.window->chart();
        tools = chart->findChild<kt7::ChartInteraction*>();
        appendRows(*chart, 51);
        appendRows(*chart, 49, 51.0);
        chart->replot();
    }
    QPointF plotPoint(double key) const {
        return {chart->xAxis->coordToPixel(key), chart->axisRect()->center().y() + 0.0};
    }
    WindowFixture f{{1, 2}};
    ChartComponent* chart = nullptr;
    kt7::ChartInteraction* tools = nullptr;
};

} // namespace

// Zoom, pan, pause and read-out on the live chart, driven by synthetic mouse and key events.
class ChartToolsTest : public QObject {
    Q_OBJECT
  private slots:
    void wheelZoomsXAboutTheCursorAndPausesUntilDoubleClick() {
        ShownChart s;
        QVERIFY(s.tools);
        const QCPRange live = s.chart->xAxis->range();
        QCOMPARE(live, QCPRange(0, 400));
        const QPointF at = s.plotPoint(100);
        sendWheel(s.chart, at, 2);
        const QCPRange zoomed = s.chart->xAxis->range();
        QVERIFY(zoomed.size() < live.size() * 0.9);
        QVERIFY(qAbs(s.chart->xAxis->pixelToCoord(at.x()) - 100) < 0.5);
        QVERIFY(s.chart->isPaused());
        QVERIFY(s.tools->pausedMarkerShown());

        // New points are kept while the view stays where the user put it.
        for (int t = 0; t < 10; ++t)
            appendRows(*s.chart, 51);
        QCOMPARE(s.chart->pointCount(1), qsizetype(610));
        QCOMPARE(s.chart->xAxis->range(), zoomed);

        sendMouse(s.chart, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(!s.chart->isPaused());
        QVERIFY(!s.tools->pausedMarkerShown());
        QCOMPARE(s.chart->xAxis->range(), QCPRange(209, 609));
    }

    void wheelOverAYAxisZoomsThatAxisAlone() {
        ShownChart s;
        QCPAxis* device2 = s.chart->graph(1)->valueAxis();
        const QCPRange otherBefore = s.chart->graph(0)->valueAxis()->range();
        QPointF onAxis(0, device2->axisRect()->center().y());
        while (onAxis.x() < s.chart->width() && device2->selectTest(onAxis, false) < 0)
            onAxis.rx() += 1;
        QVERIFY(onAxis.x() < device2->axisRect()->left());
        sendWheel(s.chart, onAxis, 1);
        QVERIFY(device2->range().size() < 1000 * 0.9);
        QCOMPARE(s.chart->xAxis->range(), QCPRange(0, 400));
        QCOMPARE(s.chart->graph(0)->valueAxis()->range(), otherBefore);
    }

    void dragPansAndEnterInXPointsReturnsToLive() {
        ShownChart s;
        const QPointF from = s.plotPoint(200);
        const QPointF to = from + QPointF(80, 0);
        const double shift = s.chart->xAxis->pixelToCoord(to.x()) - 200;
        sendMouse(s.chart, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        sendMouse(s.chart, QEvent::MouseMove, from + QPointF(40, 0), Qt::LeftButton);
        sendMouse(s.chart, QEvent::MouseMove, to, Qt::LeftButton);
        sendMouse(s.chart, QEvent::MouseButtonRelease, to, Qt::NoButton, Qt::LeftButton);
        QVERIFY(s.chart->isPaused());
        QVERIFY(qAbs(s.chart->xAxis->range().lower + shift) < 0.01);

        // Enter sets the span as before and goes back to the live strip.
        auto* box = s.f.control<QLineEdit>("Text_Chart_Pts");
        box->setText("50");
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(!s.chart->isPaused());
        QCOMPARE(s.chart->axisMaximum(1), 50.0);
        QCOMPARE(s.chart->xAxis->range(), QCPRange(49, 99));
    }

    // A click whose pointer moves a few pixels between press and release is a click: the axes
    // stay where they were and the chart stays live.
    void aClickThatMovesAFewPixelsLeavesTheAxesAlone_data() {
        QTest::addColumn<QPointF>("move");
        QTest::newRow("1 px") << QPointF(1, 0);
        QTest::newRow("2 px diagonal") << QPointF(1, -1);
        QTest::newRow("3 px") << QPointF(0, 3);
    }
    void aClickThatMovesAFewPixelsLeavesTheAxesAlone() {
        QFETCH(QPointF, move);
        ShownChart s;
        const QPointF from = s.plotPoint(200);
        const QCPRange x = s.chart->xAxis->range();
        const QCPRange y = s.chart->graph(0)->valueAxis()->range();
        sendMouse(s.chart, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        sendMouse(s.chart, QEvent::MouseMove, from + move, Qt::LeftButton);
        sendMouse(s.chart, QEvent::MouseButtonRelease, from + move, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(s.chart->xAxis->range(), x);
        QCOMPARE(s.chart->graph(0)->valueAxis()->range(), y);
        QVERIFY(!s.chart->isPaused());
    }

    void autoRefitWaitsWhilePaused() {
        ShownChart s;
        sendWheel(s.chart, s.plotPoint(50), 1);
        const QCPRange held = s.chart->graph(0)->valueAxis()->range();
        s.f.control<QCheckBox>("ChY_Auto", 0)->setChecked(true);
        QCOMPARE(s.chart->graph(0)->valueAxis()->range(), held);
        s.chart->resumeLive();
        QCOMPARE(s.chart->graph(0)->valueAxis()->range(), QCPRange(0, 99));
    }

    void readoutShowsValueAndUnitOfEachLinkedDevice() {
        ShownChart s;
        QVERIFY(s.f.link(0, deviceLine("1.5", "kg")));
        const QPointF at = s.plotPoint(42.3);
        sendMouse(s.chart, QEvent::MouseMove, at, Qt::NoButton);
        QCOMPARE(s.tools->readoutLines(), QStringList({"Point 42", "Device 1: 42 kg"}));
        QCOMPARE(s.tools->readoutColours().at(1), kt7::deviceColour(0));
        QVERIFY(!s.chart->isPaused());

        s.f.control<QComboBox>("CombMSCom", 1)->setCurrentIndex(1);
        QVERIFY(s.f.link(1, deviceLine("-3", "mV")));
        sendMouse(s.chart, QEvent::MouseMove, s.plotPoint(7), Qt::NoButton);
        QCOMPARE(s.tools->readoutLines(),
                 QStringList({"Point 7", "Device 1: 7 kg", "Device 2: 17 mV"}));
        sendMouse(s.chart, QEvent::MouseMove, QPointF(1, 1), Qt::NoButton);
        QVERIFY(s.tools->readoutLines().isEmpty());
    }

    // The live chart shows no cursor and no panel; asking for a cursor pauses it, and going back
    // to live takes the cursors and their panel away again.
    void cursorsComeWithThePauseAndGoWithLive() {
        ShownChart s;
        QVERIFY(s.f.link(0, deviceLine("1.5", "kg")));
        kt7::ChartMeasuring& measuring = *s.tools->measuring();
        QVERIFY(measuring.panel()->isHidden());
        sendMouse(s.chart, QEvent::MouseMove, s.plotPoint(30), Qt::NoButton);
        QTest::keyClick(s.chart, Qt::Key_A); // live: keys place nothing
        QVERIFY(!measuring.cursors()->anySet());
        QVERIFY(!s.chart->isPaused());

        const auto choose = [&](QPointF at, const QString& text) {
            std::unique_ptr<QMenu> menu(s.tools->createContextMenu(nullptr, at));
            for (QAction* action : menu->actions())
                if (action->text() == text)
                    return action->trigger();
            QFAIL(qPrintable("no menu entry " + text));
        };
        choose(s.plotPoint(20.3), "Set cursor A here");
        QVERIFY(s.chart->isPaused());
        sendMouse(s.chart, QEvent::MouseMove, s.plotPoint(79.8), Qt::NoButton);
        QTest::keyClick(s.chart, Qt::Key_B);
        QCOMPARE(measuring.cursors()->key(kt7::MeasureCursors::A), 20.0);
        QCOMPARE(measuring.cursors()->key(kt7::MeasureCursors::B), 80.0);
        QVERIFY(measuring.panel()->isVisible());
        QVERIFY(s.chart->axisRect()->rect().contains(measuring.panel()->geometry()));
        QVERIFY2(measuring.panel()->spanText().endsWith("B - A: 60 samples"),
                 qPrintable(measuring.panel()->spanText()));
        const QTableWidget* readout = measuring.panel()->readoutTable();
        QCOMPARE(readout->rowCount(), 1);
        QCOMPARE(readout->item(0, 3)->text(), QStringLiteral("60 kg"));

        sendMouse(s.chart, QEvent::MouseButtonDblClick, s.plotPoint(50), Qt::LeftButton,
                  Qt::LeftButton);
        QVERIFY(!s.chart->isPaused());
        QVERIFY(!measuring.cursors()->anySet());
        QVERIFY(measuring.panel()->isHidden());
    }

    void menuSavesPngAndPdfThroughTheDialogAndReportsAFailure() {
        ShownChart s;
        const QString dir = s.f.home.path();
        s.f.dialogs.answers = {dir + "/chart.png", dir + "/chart.pdf", dir + "/none/chart.png"};
        std::unique_ptr<QMenu> menu(s.tools->createContextMenu(nullptr));
        const auto trigger = [&](const QString& text) {
            for (QAction* action : menu->actions())
                if (action->text() == text)
                    return action->trigger();
            QFAIL(qPrintable("no menu entry " + text));
        };
        trigger("Save chart as PNG…");
        trigger("Save chart as PDF…");
        QCOMPARE(s.f.dialogs.saveRequests.size(), size_t(2));
        QCOMPARE(s.f.dialogs.saveRequests[0].initialFolder, s.f.window->session().logFolder());
        QCOMPARE(s.f.dialogs.saveRequests[1].defaultSuffix, QStringLiteral("pdf"));

        const QImage png(dir + "/chart.png");
        QCOMPARE(png.size(), s.chart->size());
        // Not blank: the traces are drawn inside the plot area.
        const QRect area = s.chart->axisRect()->rect().adjusted(2, 2, -2, -2);
        int traced = 0;
        for (int y = area.top(); y < area.bottom(); ++y)
            for (int x = area.left(); x < area.right(); ++x)
                traced += png.pixelColor(x, y).rgb() == kt7::deviceColour(0).rgb();
        QVERIFY2(traced > 50, qPrintable(QString::number(traced)));
        QFile pdf(dir + "/chart.pdf");
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF"));
        QVERIFY(s.f.messages.shown.isEmpty());

        trigger("Save chart as PNG…");
        QCOMPARE(s.f.messages.shown.size(), 1);
        QVERIFY(s.f.messages.shown[0].contains(dir + "/none/chart.png"));
        trigger("Back to live");
        QVERIFY(!s.chart->isPaused());
    }
};

KT7_REGISTER_TEST(ChartToolsTest)
#include "ChartToolsTest.moc"
