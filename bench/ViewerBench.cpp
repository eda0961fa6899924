// The log viewer on a large log: a million rows of eight devices, written by the program's own
// row writer (one row a second, readings of up to eight characters as instruments send them).
// Measures the time to the window shown and to the log read and painted, the memory it takes,
// and the replot of the whole history zoomed out against the replot of 300 visible rows of the
// same chart. With --foreign-dates it measures instead a log written on an en_US desktop opened
// under the C locale, as a log carried from Boston to a server would be.
#include "BenchReport.h"
#include "fakes/FakeDialogs.h"
#include "interaction/ChartInteraction.h"
#include "logfile/CsvFormat.h"
#include "measure/ChartMeasuring.h"
#include "viewer/LogViewer.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sys/resource.h>

using namespace kt7bench;

namespace {

constexpr int Rows = 1'000'000;
constexpr int ChartWidth = 1000;
constexpr int ChartHeight = 600;

bool writeLog(const QString& path, const QLocale& writtenUnder) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::array<QString, 8> labels;
    std::array<QString, 8> units;
    for (int d = 0; d < 8; ++d) {
        labels[d] = QStringLiteral("Label %1").arg(d + 1);
        units[d] = QStringLiteral("us");
    }
    QByteArray out = kt7::csvHeader(labels, units, kt7::CodePage::system());
    const QDateTime start(QDate(2026, 12, 7), QTime(8, 0));
    std::array<std::optional<double>, 8> values;
    for (int r = 1; r <= Rows; ++r) {
        for (int d = 0; d < 8; ++d)
            values[d] =
                std::round((100.0 * std::sin(0.001 * r + d) + std::fmod(r * 7.31, 3.0)) * 1000.0) /
                1000.0;
        out += kt7::csvDataRow(r, start.addSecs(r), writtenUnder, kt7::CodePage::system(), values);
        if (out.size() > (1 << 20)) {
            file.write(out);
            out.clear();
        }
    }
    return file.write(out) == out.size() && file.flush();
}

// User and system time of every thread of this process so far: on a busy machine the wall
// time of a load on both cores says little without it.
double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double medianReplotMs(QCustomPlot& plot, int replots) {
    plot.replot();
    std::vector<double> times;
    for (int i = 0; i < replots; ++i) {
        QElapsedTimer timer;
        timer.start();
        plot.replot();
        times.push_back(elapsedMs(timer));
    }
    return median(times);
}

QByteArray loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').mid(0, 3).join(' ')
                                          : QByteArray("unknown");
}

// Statistics of every reading: the whole history in view, no cursors.
double medianStatisticsMs(kt7::LogViewer& viewer, int runs) {
    kt7::ChartMeasuring& measuring = *viewer.tools()->measuring();
    viewer.chart()->showAll();
    std::vector<double> times;
    qint64 readings = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const kt7::SpanStatistics statistics = measuring.statistics();
        times.push_back(elapsedMs(timer));
        readings = 0;
        for (const auto& device : statistics.devices)
            readings += device.stats.readings;
    }
    if (readings != 8LL * Rows)
        std::fprintf(stderr, "viewer: statistics counted %lld readings\n",
                     static_cast<long long>(readings));
    return median(times);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // An optional path keeps the written log for later runs (and for a profiler).
    QStringList args = app.arguments().mid(1);
    const bool foreignDates = args.removeAll(QStringLiteral("--foreign-dates")) > 0;
    const QLocale writtenUnder =
        foreignDates ? QLocale(QLocale::English, QLocale::UnitedStates) : QLocale();
    const QLocale readUnder = foreignDates ? QLocale::c() : QLocale();
    QTemporaryDir dir;
    const QString path = args.isEmpty() ? dir.filePath(QStringLiteral("large.csv")) : args.first();
    QElapsedTimer writing;
    writing.start();
    if (!QFileInfo::exists(path) && !writeLog(path, writtenUnder)) {
        std::fprintf(stderr, "viewer: could not write the test log\n");
        return 1;
    }
    std::fprintf(stderr, "viewer: log of %lld bytes ready in %.1f s\n",
                 static_cast<long long>(QFileInfo(path).size()), elapsedMs(writing) / 1000.0);

    const long before = residentKb();
    kt7test::FakeDialogs dialogs;
    kt7test::FakeMessageBoxes messages;
    const double cpuBefore = cpuMs();
    QElapsedTimer opening;
    opening.start();
    kt7::LogViewer viewer(path, dialogs, messages, nullptr, readUnder);
    viewer.resize(ChartWidth, ChartHeight);
    viewer.show();
    if (!QTest::qWaitForWindowExposed(&viewer))
        std::fprintf(stderr, "viewer: the window was not exposed\n");
    const double shownMs = elapsedMs(opening);
    const bool loadedInBackground = viewer.isLoading();
    if (viewer.isLoading()) {
        QEventLoop loop;
        QObject::connect(&viewer, &kt7::LogViewer::loaded, &loop, &QEventLoop::quit);
        loop.exec();
    }
    viewer.chart()->replot();
    const double openMs = elapsedMs(opening);
    const double openCpuMs = cpuMs() - cpuBefore;
    const long peak = statusKb("VmHWM");
    const long after = residentKb();
    std::fprintf(stderr,
                 "viewer: %lld rows read%s; note: %s; VmRSS %ld kB before opening; opening took "
                 "%s ms of CPU over all threads; load average %s\n",
                 static_cast<long long>(viewer.rowCount()),
                 loadedInBackground ? " in the background" : "", qPrintable(viewer.noteText()),
                 before, QByteArray::number(openCpuMs, 'f', 0).constData(),
                 loadAverage().constData());

    if (foreignDates) {
        row(QStringLiteral("viewer: open 1,000,000 x 8 log of an en_US desktop under C"),
            ms(openMs), QStringLiteral("< 500 ms"), openMs < 500.0);
        // "X as time" can be chosen only when every row's date and time were read.
        const auto* timeBox = viewer.findChild<QCheckBox*>(QStringLiteral("TimeAxis"));
        const bool timesRead = timeBox && timeBox->isEnabled();
        row(QStringLiteral("viewer: that log's \"X as time\" offered"),
            timesRead ? QStringLiteral("yes") : QStringLiteral("no"), QStringLiteral("yes"),
            timesRead);
        return 0;
    }
    kt7::LogChart& chart = *viewer.chart();
    const double whole = medianReplotMs(chart, 60);
    chart.xAxis->setRange(Rows - 300, Rows);
    const double strip = medianReplotMs(chart, 200);

    row(QStringLiteral("viewer: window shown while a 1,000,000 x 8 log loads"), ms(shownMs));
    row(QStringLiteral("viewer: open 1,000,000 x 8 log and first paint"), ms(openMs),
        QStringLiteral("< 500 ms"), openMs < 500.0);
    row(QStringLiteral("viewer: VmHWM after opening (peak)"),
        QString::number(peak / 1024) + QStringLiteral(" MB"), QStringLiteral("< 160 MB"),
        peak > 0 && peak < 160 * 1024);
    row(QStringLiteral("viewer: VmRSS after opening"),
        QString::number(after / 1024) + QStringLiteral(" MB"));
    row(QStringLiteral("viewer: replot, whole 8 x 1,000,000 history (median)"), ms(whole),
        QStringLiteral("< 16 ms"), whole < 16.0);
    row(QStringLiteral("viewer: replot, 8 x 300 visible rows (median)"), ms(strip));
    row(QStringLiteral("viewer: replot ratio, whole history / 300 rows"),
        QString::number(strip > 0.0 ? whole / strip : 0.0, 'f', 1) + QStringLiteral("x"));
    const double statistics = medianStatisticsMs(viewer, 21);
    row(QStringLiteral("viewer: statistics of 8 x 1,000,000 readings (median)"), ms(statistics),
        QStringLiteral("< 20 ms"), statistics < 20.0);
    return 0;
}
