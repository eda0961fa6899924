#include "MeasureViewer.h"
#include "common/TestRegistry.h"
#include "fakes/FakeDialogs.h"
#include "interaction/ChartInteraction.h"
#include "logfile/LogReader.h"
#include "measure/ChartMeasuring.h"
#include "measure/MeasureCursors.h"
#include "viewer/LogViewer.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace kt7test;
using kt7::LogRows;
using kt7::MeasureCursors;

namespace {

LogRows readLog(const QString& path, std::array<QString, 8>* labels = nullptr) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    kt7::LogReader reader(measureLocale);
    reader.feed(file.readAll());
    if (labels)
        *labels = reader.labels();
    return reader.takeRows();
}

void exportFromMenu(kt7::LogViewer& viewer, const QString& text) {
    std::unique_ptr<QMenu> menu(viewer.tools()->createContextMenu(nullptr));
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action->trigger();
    QFAIL(qPrintable("no menu entry " + text));
}

// A Python with openpyxl: the one on the path, else the system's.
QString pythonWithOpenpyxl() {
    for (const QString& python : {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
        QProcess probe;
        probe.start(python, {"-c", "import openpyxl"});
        if (probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0)
            return python;
    }
    return {};
}

// Every cell of both sheets as [type, value], the frozen cell of each sheet and the names.
const char* const readBack = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
def cell(c):
    if c.value is None: return None
    if c.is_date: return ["date", c.value.isoformat()]
    if isinstance(c.value, (int, float)): return ["number", c.value]
    return ["text", c.value]
out = {"sheets": book.sheetnames}
for sheet in book.worksheets:
    out[sheet.title] = {"frozen": sheet.freeze_panes,
                        "rows": [[cell(c) for c in row] for row in sheet.iter_rows()]}
print(json.dumps(out))
)";

QJsonArray typed(const char* type, const QJsonValue& value) {
    return QJsonArray{type, value};
}

} // namespace

// The span goes out as the viewer's own log format and as a workbook, and comes back the same.
class SpanExportTest : public QObject {
    Q_OBJECT
  private slots:
    void csvSpanReadsBackAsTheSameRows_data() {
        QTest::addColumn<bool>("time");
        QTest::addColumn<bool>("cursors");
        QTest::newRow("between cursors, X as sample") << false << true;
        QTest::newRow("visible range, X as time across midnight") << true << false;
    }
    void csvSpanReadsBackAsTheSameRows() {
        QFETCH(bool, time);
        QFETCH(bool, cursors);
        MeasureViewer fixture;
        auto& [dir, path, dialogs, messages, viewer] = fixture;
        viewer.findChild<QCheckBox*>("TimeAxis")->setChecked(time);
        // Rows 20 to 66, by cursors placed the wrong way round or by the view.
        const double low = measureKey(20, time);
        const double high = measureKey(66, time);
        if (cursors) {
            viewer.tools()->measuring()->cursors()->place(MeasureCursors::A, high);
            viewer.tools()->measuring()->cursors()->place(MeasureCursors::B, low + 0.4);
        } else {
            viewer.chart()->xAxis->setRange(low - 0.5, high + 0.5);
        }
        const QString out = dir.filePath("span.csv");
        dialogs.answers = {out};
        exportFromMenu(viewer, QStringLiteral("Export span as CSV…"));
        QCOMPARE(messages.shown, QStringList());
        QCOMPARE(dialogs.saveRequests.at(0).initialFolder, dir.path());

        std::array<QString, 8> labels;
        const LogRows all = readLog(path);
        const LogRows span = readLog(out, &labels);
        QCOMPARE(labels[0], QStringLiteral("Temp"));
        QCOMPARE(span.size(), std::size_t(47));
        for (std::size_t r = 0; r < span.size(); ++r) {
            const std::size_t from = r + 19;
            QCOMPARE(span.sampleNumbers[r], all.sampleNumbers[from]);
            QCOMPARE(span.seconds[r], all.seconds[from]);
            for (int d = 0; d < 8; ++d) {
                const double a = span.values[d][r];
                const double b = all.values[d][from];
                QVERIFY2(a == b || (std::isnan(a) && std::isnan(b)),
                         qPrintable(QStringLiteral("row %1, device %2").arg(r).arg(d + 1)));
            }
        }
        kt7::LogViewer reopened(out, dialogs, messages, nullptr, measureLocale);
        QCOMPARE(reopened.rowCount(), qint64(47));
        QCOMPARE(reopened.noteText(), QString());
    }

    void failuresAreToldAndLeaveTheLogAlone_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("CSV over the log itself") << "Export span as CSV…"
                                                 << "midnight.csv"
                                                 << "cannot be saved over the log";
        QTest::newRow("CSV into a missing folder") << "Export span as CSV…"
                                                   << "none/span.csv"
                                                   << "could not be saved as";
        QTest::newRow("workbook into a missing folder") << "Export span as Excel workbook…"
                                                        << "none/span.xlsx"
                                                        << "could not be saved as";
    }
    void failuresAreToldAndLeaveTheLogAlone() {
        QFETCH(QString, entry);
        QFETCH(QString, target);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath("midnight.csv");
        writeMeasureLog(path);
        const QByteArray before = [&] {
            QFile log(path);
            return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        }();
        FakeDialogs dialogs;
        FakeMessageBoxes messages;
        kt7::LogViewer viewer(path, dialogs, messages, nullptr, measureLocale);
        viewer.tools()->measuring()->cursors()->place(MeasureCursors::A, 10);
        viewer.tools()->measuring()->cursors()->place(MeasureCursors::B, 20);
        dialogs.answers = {dir.filePath(target)};
        exportFromMenu(viewer, entry);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].contains(message), qPrintable(messages.shown[0]));
        QFile log(path);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(), before);
        QVERIFY(!QFileInfo::exists(dir.filePath("none")));
    }

    void workbookHoldsNumbersDatesAFrozenHeaderAndTheStatistics() {
        const QString python = pythonWithOpenpyxl();
        if (python.isEmpty())
            QSKIP("python3-openpyxl is not installed");
        MeasureViewer fixture;
        auto& [dir, path, dialogs, messages, viewer] = fixture;
        kt7::ChartMeasuring& measuring = *viewer.tools()->measuring();
        measuring.cursors()->place(MeasureCursors::A, 29);
        measuring.cursors()->place(MeasureCursors::B, 33);
        const QString out = dir.filePath("span.xlsx");
        dialogs.answers = {out};
        exportFromMenu(viewer, QStringLiteral("Export span as Excel workbook…"));
        QCOMPARE(messages.shown, QStringList());

        QProcess reader;
        reader.start(python, {"-c", readBack, out});
        QVERIFY(reader.waitForFinished(60000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        const QJsonObject book = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
        QCOMPARE(book["sheets"].toArray(), QJsonArray({"Readings", "Statistics"}));

        const QJsonObject readings = book["Readings"].toObject();
        QCOMPARE(readings["frozen"].toString(), QStringLiteral("A2"));
        const QJsonArray rows = readings["rows"].toArray();
        QCOMPARE(rows.size(), 1 + 5);
        QCOMPARE(rows[0].toArray(),
                 QJsonArray({typed("text", "Sample"), typed("text", "Date and time"),
                             typed("text", "Temp (°C)"), typed("text", "Flow (l/min)")}));
        // Sample 29 is 28 s after 23:59:30; sample 30 has no Flow reading; 31 is at midnight.
        QCOMPARE(rows[1].toArray(),
                 QJsonArray({typed("number", 29), typed("date", "2026-12-07T23:59:58"),
                             typed("number", 14.5), typed("number", 29)}));
        QCOMPARE(rows[2].toArray(),
                 QJsonArray({typed("number", 30), typed("date", "2026-12-07T23:59:59"),
                             typed("number", 15), QJsonValue()}));
        QCOMPARE(rows[3].toArray().at(1).toArray(), typed("date", "2026-12-08T00:00:00"));

        const QJsonObject statistics = book["Statistics"].toObject();
        QCOMPARE(statistics["frozen"].toString(), QStringLiteral("A2"));
        const QJsonArray stats = statistics["rows"].toArray();
        QCOMPARE(stats.size(), 3);
        QCOMPARE(stats[0].toArray().at(6).toArray(), typed("text", "Mean"));
        const QJsonArray temp = stats[1].toArray();
        QCOMPARE(temp.at(0).toArray(), typed("text", "Temp"));
        QCOMPARE(temp.at(2).toArray(), typed("number", 5));
        QCOMPARE(temp.at(6).toArray(), typed("number", 15.5));
        QCOMPARE(temp.at(11).toArray(), typed("number", 0.5));
        const QJsonArray flow = stats[2].toArray();
        QCOMPARE(flow.at(3).toArray(), typed("number", 2)); // samples 30 and 33 are empty
        QCOMPARE(flow.at(4).toArray(), typed("number", 29));
    }
};

KT7_REGISTER_TEST(SpanExportTest)
#include "SpanExportTest.moc"
