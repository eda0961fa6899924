// The once-per-second sampling tick: full load (eight devices, 51 lines each, Fast logging,
// chart on) against one device with one line, and the chart replot each tick queues.
#include "BenchReport.h"
#include "LoggerRig.h"

#include <QApplication>
#include <QElapsedTimer>

using namespace kt7bench;

namespace {

struct TickTimes {
    std::vector<double> tick;
    std::vector<double> tickAndReplot;
    qsizetype rows = 0;
};

TickTimes runTicks(int devices, int lines, int ticks) {
    LoggerRig rig(devices, LogMode::Fast);
    TickTimes times;
    constexpr int warmUp = 20;
    for (int t = 0; t < warmUp + ticks; ++t) {
        rig.feed(lines);
        rig.advanceClock();
        QElapsedTimer timer;
        timer.start();
        rig.window().TimerRecAI_Timer();
        const double tickMs = elapsedMs(timer);
        rig.chart().replot();
        const double totalMs = elapsedMs(timer);
        if (t >= warmUp) {
            times.tick.push_back(tickMs);
            times.tickAndReplot.push_back(totalMs);
        }
    }
    times.rows = rig.window().state().SampleCount;
    return times;
}

QString triple(const std::vector<double>& values) {
    return QStringLiteral("%1 / %2 / %3 ms")
        .arg(percentile(values, 50), 0, 'f', 3)
        .arg(percentile(values, 99), 0, 'f', 3)
        .arg(maximum(values), 0, 'f', 3);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(1000, QString::fromLocal8Bit(argv[1]).toInt()) : 1000;

    const TickTimes full = runTicks(kt7::DeviceCount, kt7::MaxBlockRows, ticks);
    const TickTimes base = runTicks(1, 1, ticks);
    std::fprintf(stderr, "tick: %d ticks each; rows logged: full load %lld, baseline %lld\n", ticks,
                 static_cast<long long>(full.rows), static_cast<long long>(base.rows));

    const double p99 = percentile(full.tick, 99);
    row(QStringLiteral("tick, 8 dev x 51 lines, Fast log, chart (p50/p99/max)"), triple(full.tick),
        QStringLiteral("p99 <= 2 ms"), p99 <= 2.0);
    row(QStringLiteral("  same tick + chart replot (p50/p99/max)"), triple(full.tickAndReplot));
    row(QStringLiteral("tick, 1 dev x 1 line, baseline (p50/p99/max)"), triple(base.tick));
    row(QStringLiteral("  same tick + chart replot (p50/p99/max)"), triple(base.tickAndReplot));
    return 0;
}
