#include "../chart/MeasureTestLog.h"
#include "common/TestRegistry.h"
#include "export/SpanXlsxWriter.h"

#include <QDir>
#include <QTest>

// A span of the measuring log written as a workbook by the Windows build (libxlsxwriter and zlib
// as DLLs); the ctest entry workbook-read-by-openpyxl then reads it back on Linux.
class SpanWorkbookTest : public QObject {
    Q_OBJECT

  private slots:
    void spanGoesOutAsAWorkbook() {
        const QDir output(qEnvironmentVariable("KT7_TEST_OUTPUT"));
        const QString log = output.filePath(QStringLiteral("measure-under-wine.csv"));
        kt7test::writeMeasureLog(log);
        const kt7::LogSpan span{log, kt7test::measureLocale, false, 20, 66};
        kt7::SpanStatistics statistics;
        statistics.low = span.low;
        statistics.high = span.high;
        const QString workbook = output.filePath(QStringLiteral("span-under-wine.xlsx"));
        QFile::remove(workbook);
        const QString failure = kt7::writeSpanXlsx(span, {0, 1}, statistics, workbook);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(QFile::exists(workbook));
    }
};

KT7_REGISTER_TEST(SpanWorkbookTest)
#include "SpanWorkbookTest.moc"
