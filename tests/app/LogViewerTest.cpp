#include "viewer/LogViewer.h"
#include "alarms/AlarmRecord.h"
#include "chart/ChartComponent.h"
#include "chart/DeviceColours.h"
#include "common/TestRegistry.h"
#include "common/WindowFixture.h"
#include "dates/DateTimeField.h"
#include "interaction/ChartInteraction.h"
#include "logfile/CsvFormat.h"
#include "logfile/LogFile.h"
#include "measure/ChartMeasuring.h"
#include "measure/MeasureCursors.h"
#include "text/NumberText.h"
#include "viewer/AlarmSpans.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <sys/stat.h>

using namespace kt7test;
using kt7::LogViewer;

namespace {

using Texts = std::array<QString, 8>;
using Values = std::array<std::optional<double>, 8>;

const QLocale us(QLocale::English, QLocale::UnitedStates);
const QDateTime lateEvening(QDate(2026, 12, 7), QTime(23, 59, 58));

// A log written by the program's own writer: a label with a comma, empty cells, exponents and
// a row at midnight.
class WrittenLog {
  public:
    explicit WrittenLog(const QString& path) {
        Texts labels{"Flow, in", "Temp", "", "L4", "L5", "L6", "L7", "L8"};
        Texts units{"l/min", "C", "us", "us", "us", "us", "us", "us"};
        QVERIFY(log.create(path, kt7::csvHeader(labels, units, kt7::CodePage::system())).ok);
        add({12.5, std::nullopt, 1.2e-5});
        add({std::nullopt, 20.25});
        add({13.0, 21.0, -3e20});
    }
    void add(const Values& values) {
        const QDateTime when = lateEvening.addSecs(rows);
        QVERIFY(
            log.appendRows(kt7::csvDataRow(++rows, when, us, kt7::CodePage::system(), values)).ok);
    }
    kt7::LogFile log;
    int rows = 0;
};

QPointF plotPoint(kt7::LogChart& chart, double key) {
    return {chart.xAxis->coordToPixel(key), chart.axisRect()->center().y() + 0.0};
}

void hover(QWidget* widget, QPointF at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class LogViewerTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheLabelsUnitsAndValuesTheWriterWrote() {
        QTemporaryDir dir;
        const QString path = dir.filePath("run 1.csv");
        WrittenLog written(path);
        FakeDialogs dialogs;
        FakeMessageBoxes messages;
        LogViewer viewer(path, dialogs, messages, nullptr, us);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QCOMPARE(viewer.windowTitle(), QStringLiteral("run 1.csv"));
        QCOMPARE(viewer.noteText(), QString());
        QVERIFY(viewer.alarms()->isHidden() && viewer.alarms()->shades().empty());
        kt7::LogChart& chart = *viewer.chart();
        chart.replot(); // lays the axes out at the shown size
        QCOMPARE(chart.deviceGraphs()[0]->valueAxis()->label(), QStringLiteral("Flow, in (l/min)"));
        QCOMPARE(chart.deviceGraphs()[2]->valueAxis()->label(), QStringLiteral(" (us)"));
        QCOMPARE(chart.pointCount(0), qsizetype(2));
        QVERIFY(!chart.drawsBuckets(0));
        QCOMPARE(chart.pointCount(2), qsizetype(2));
        QCOMPARE(chart.points(2)->at(1)->value, -3e20);
        QCOMPARE(chart.xAxis->range(), QCPRange(1, 3));

        hover(&chart, plotPoint(chart, 2.9));
        QCOMPARE(viewer.tools()->readoutLines(),
                 QStringList({"Sample 3, 12/8/2026", "Flow, in: 13 l/min", "Temp: 21 C",
                              "Device 3: -3E+20 us"}));
        hover(&chart, plotPoint(chart, 2));
        QCOMPARE(viewer.tools()->readoutLines().at(1), QStringLiteral("Flow, in: no value"));

        viewer.findChild<QCheckBox*>("TimeAxis")->setChecked(true);
        const double first =
            QDateTime(lateEvening.date(), lateEvening.time(), Qt::UTC).toSecsSinceEpoch();
        QCOMPARE(chart.points(1)->at(0)->key, first + 1);
        QCOMPARE(chart.xAxis->range(), QCPRange(first, first + 2));
        hover(&chart, plotPoint(chart, first + 1.9));
        QCOMPARE(viewer.tools()->readoutLines().at(0), QStringLiteral("12/8/2026"));
    }

    // Ended, raised before the file and still raised: shaded behind the traces in the device's
    // colour from the row at raise to the row at end, on either X; a row of the table puts the
    // cursors on its ends. A record that cannot be read is told in the note.
    void alarmsBesideTheLogAreShadedAndChosenFromTheTable() {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.csv");
        WrittenLog written(path);
        for (double v : {14.0, 15.0, 16.0})
            written.add({v, v + 8});
        QFile record(kt7::AlarmRecord::pathBeside(path));
        QVERIFY(record.open(QIODevice::WriteOnly));
        record.write(QByteArray(kt7::AlarmRecord::header()) +
                     "2,high,20,2026-12-07T23:59:59+01:00,2026-12-08T00:00:01+01:00,22,2,4\r\n"
                     "1,low,13,,2026-12-08T00:00:00+01:00,12.5,,3\r\n"
                     "3,high,0,2026-12-08T00:00:02+01:00,,1.5,5,\r\n");
        record.close();
        FakeDialogs dialogs;
        FakeMessageBoxes messages;
        LogViewer viewer(path, dialogs, messages, nullptr, us);
        kt7::AlarmSpans& table = *viewer.alarms();
        kt7::LogChart& chart = *viewer.chart();
        const auto spans = [&table] {
            QList<std::pair<double, double>> keys;
            for (QCPItemRect* shade : table.shades())
                keys.append({shade->topLeft->coords().x(), shade->bottomRight->coords().x()});
            return keys;
        };
        QCOMPARE(viewer.noteText(), QString());
        QVERIFY(!table.isHidden());
        QCOMPARE(spans(), (QList<std::pair<double, double>>{{2, 4}, {1, 3}, {5, 6}}));
        QCPItemRect* shade = table.shades().front();
        QCOMPARE(shade->brush().color().rgb(), kt7::deviceColour(1).rgb());
        QVERIFY(shade->layer()->index() < chart.layer("main")->index());
        // The wall clock where it was recorded; numbers with a point on any desktop.
        QCOMPARE(table.item(0, 3)->text(), kt7::dateTimeField({{2026, 12, 7}, {23, 59, 59}}, us));
        QCOMPARE(table.item(1, 3)->text(), QStringLiteral("before this log"));
        QCOMPARE(table.item(2, 5)->text(), QStringLiteral("1.5"));

        kt7::ChartMeasuring& measuring = *viewer.tools()->measuring();
        table.setCurrentCell(0, 0);
        QCOMPARE(measuring.cursors()->key(kt7::MeasureCursors::A), 2.0);
        QCOMPARE(measuring.cursors()->key(kt7::MeasureCursors::B), 4.0);
        const kt7::SpanStatistics statistics = measuring.statistics();
        QCOMPARE(statistics.devices.at(1).stats.readings, 3);
        QCOMPARE(statistics.devices.at(1).stats.maximum, 22.0);

        viewer.findChild<QCheckBox*>("TimeAxis")->setChecked(true);
        const double first =
            QDateTime(lateEvening.date(), lateEvening.time(), Qt::UTC).toSecsSinceEpoch();
        QCOMPARE(spans(), (QList<std::pair<double, double>>{
                              {first + 1, first + 3}, {first, first + 2}, {first + 4, first + 5}}));
        table.setCurrentCell(2, 0);
        QCOMPARE(measuring.cursors()->key(kt7::MeasureCursors::A), first + 4);
        QCOMPARE(measuring.cursors()->key(kt7::MeasureCursors::B), first + 5);

        QVERIFY(record.open(QIODevice::Append));
        record.write("2,high,185,,,,41,130\r\n");
        record.close();
        LogViewer unreadable(path, dialogs, messages, nullptr, us);
        QCOMPARE(unreadable.rowCount(), qint64(6));
        QVERIFY2(unreadable.noteText().contains(R"(run_alarms.csv line 5: "2,high,185,,,,41,130")"),
                 qPrintable(unreadable.noteText()));
        QVERIFY(unreadable.alarms()->isHidden() && unreadable.alarms()->shades().empty());
    }

    void cutOffOrForeignFilesOpenWithANote_data() {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<QString>("note");
        QTest::newRow("cut-off last line")
            << QByteArray("4,12/8/2026 12:00:01 AM,1") << 3ll << "The last line is cut off";
        QTest::newRow("foreign CSV") << QByteArray() << 0ll << "not a KT7 log";
    }
    void cutOffOrForeignFilesOpenWithANote() {
        QFETCH(QByteArray, tail);
        QFETCH(qint64, rows);
        QFETCH(QString, note);
        QTemporaryDir dir;
        const QString path = dir.filePath("log.csv");
        if (rows > 0) {
            WrittenLog written(path);
        }
        QFile file(path);
        QVERIFY(file.open(rows > 0 ? QIODevice::Append : QIODevice::WriteOnly));
        file.write(rows > 0 ? tail : QByteArray("date;value\n2026-01-01;4\n"));
        file.close();
        FakeDialogs dialogs;
        FakeMessageBoxes messages;
        LogViewer viewer(path, dialogs, messages, nullptr, us);
        QCOMPARE(viewer.rowCount(), rows);
        QVERIFY2(viewer.noteText().contains(note), qPrintable(viewer.noteText()));
        QVERIFY(!viewer.findChild<QLabel*>("Note")->isHidden());
    }

    void followPicksUpAppendedRows() {
        QTemporaryDir dir;
        const QString path = dir.filePath("running.csv");
        WrittenLog written(path);
        FakeDialogs dialogs;
        FakeMessageBoxes messages;
        LogViewer viewer(path, dialogs, messages, nullptr, us);
        viewer.findChild<QCheckBox*>("Follow")->setChecked(true);
        written.add({1.0, 2.0});
        written.add({3.0, 4.0});
        QTRY_COMPARE(viewer.rowCount(), qint64(5));
        QCOMPARE(viewer.chart()->pointCount(1), qsizetype(4));
        QCOMPARE(viewer.chart()->xAxis->range(), QCPRange(1, 5));
    }

    // A pipe given as the log would block the window in open() for good; a folder is no log.
    void aPipeOrAFolderIsRefusedWithANote_data() {
        QTest::addColumn<bool>("pipe");
        QTest::addColumn<QString>("note");
        QTest::newRow("pipe") << true << "not a regular file";
        QTest::newRow("folder") << false << "is a folder";
    }
    void aPipeOrAFolderIsRefusedWithANote() {
        QFETCH(bool, pipe);
        QFETCH(QString, note);
        QTemporaryDir dir;
        const QString path = dir.filePath("log.csv");
        QVERIFY(pipe ? mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                     : QDir(dir.path()).mkdir("log.csv"));
        FakeDialogs dialogs;
        FakeMessageBoxes messages;
        LogViewer viewer(path, dialogs, messages, nullptr, us);
        viewer.findChild<QCheckBox*>("Follow")->setChecked(true);
        QCOMPARE(viewer.rowCount(), 0);
        QVERIFY2(viewer.noteText().contains(note), qPrintable(viewer.noteText()));
        QVERIFY(!viewer.findChild<QLabel*>("Note")->isHidden());
    }

    // Follow on a file deleted under it: the rows stay, and the note says why no more come.
    void followKeepsTheRowsOfADeletedFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("running.csv");
        { WrittenLog written(path); }
        FakeDialogs dialogs;
        FakeMessageBoxes messages;
        LogViewer viewer(path, dialogs, messages, nullptr, us);
        viewer.findChild<QCheckBox*>("Follow")->setChecked(true);
        QVERIFY(QFile::remove(path));
        QTRY_VERIFY2(viewer.noteText().contains("deleted or moved"), qPrintable(viewer.noteText()));
        QVERIFY(!viewer.findChild<QLabel*>("Note")->isHidden());
        QCOMPARE(viewer.rowCount(), qint64(3));
        QCOMPARE(viewer.chart()->pointCount(1), qsizetype(2));
    }

    // A large log is read in the background: the window shows a note at once, then the rows.
    void aLargeLogLoadsBehindAProgressNote() {
        QTemporaryDir dir;
        const QString path = dir.filePath("large.csv");
        WrittenLog written(path);
        QByteArray rows;
        int sample = written.rows;
        while (rows.size() < LogViewer::BackgroundFromBytes) {
            ++sample;
            rows += kt7::csvDataRow(sample, lateEvening.addSecs(sample / 4), us,
                                    kt7::CodePage::system(), {sample * 0.25, std::nullopt, 1.5});
        }
        QVERIFY(written.log.appendRows(rows).ok);
        FakeDialogs dialogs;
        FakeMessageBoxes messages;
        LogViewer viewer(path, dialogs, messages, nullptr, us);
        QSignalSpy loaded(&viewer, &LogViewer::loaded);
        QVERIFY(viewer.isLoading());
        QVERIFY2(viewer.noteText().startsWith("Reading the log"), qPrintable(viewer.noteText()));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        // Showing the window runs the event loop: the rows may have come in meanwhile.
        QVERIFY(loaded.count() > 0 || loaded.wait(60000));
        QCOMPARE(viewer.rowCount(), qint64(sample));
        QCOMPARE(viewer.noteText(), QString());
        kt7::LogChart& chart = *viewer.chart();
        QCOMPARE(chart.pointCount(0), qsizetype(sample - 1));
        QCOMPARE(chart.xAxis->range(), QCPRange(1, sample));
        chart.xAxis->setRange(sample - 20, sample - 10);
        chart.replot();
        hover(&chart, plotPoint(chart, sample - 15));
        QCOMPARE(viewer.tools()->readoutLines().at(1),
                 "Flow, in: " + kt7::numberText((sample - 15) * 0.25) + " l/min");
    }

    void mainWindowMenuOpensAViewerBesideTheLiveWindow() {
        WindowFixture f({1});
        const QString path = f.home.filePath("old.csv");
        WrittenLog written(path);
        f.dialogs.answers = {path};
        auto* tools = f.window->chart()->findChild<kt7::ChartInteraction*>();
        std::unique_ptr<QMenu> menu(tools->createContextMenu(nullptr));
        for (QAction* action : menu->actions())
            if (action->text() == QStringLiteral("Open log in viewer…"))
                action->trigger();
        QCOMPARE(f.dialogs.openRequests.size(), size_t(1));
        QCOMPARE(f.dialogs.openRequests[0].initialFolder, f.window->session().logFolder());
        auto* viewer = f.window->findChild<LogViewer*>();
        QVERIFY(viewer && viewer->isWindow() && viewer->isVisible());
        QCOMPARE(viewer->windowTitle(), QStringLiteral("old.csv"));
        QCOMPARE(viewer->rowCount(), qint64(3));
    }
};

KT7_REGISTER_TEST(LogViewerTest)
#include "LogViewerTest.moc"
