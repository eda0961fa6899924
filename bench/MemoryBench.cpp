// Resident memory over a simulated day of sampling: eight devices, one line each per tick,
// chart on, Sec logging every 5 s. The fake clock moves a second per tick, as fast as the
// machine runs the ticks.
#include "BenchReport.h"
#include "LoggerRig.h"

#include <QApplication>
#include <QElapsedTimer>

using namespace kt7bench;

namespace {
constexpr int Hour = 3600;
constexpr int Day = 86'400;
// Queued replots run now and then, as the event loop would run them between ticks.
constexpr int TicksPerEventRun = 60;
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    LoggerRig rig(kt7::DeviceCount, LogMode::Sec, QStringLiteral("5"));
    // With --chart-off the chart keeps no history: shows what the rest of the program retains.
    const bool chartOff = argc > 1 && QByteArray(argv[1]) == "--chart-off";
    if (chartOff)
        rig.fixture.control<QCheckBox>(QStringLiteral("ChChartEnable"))->setChecked(false);

    QElapsedTimer wall;
    wall.start();
    long afterHour = 0;
    for (int t = 1; t <= Day; ++t) {
        rig.feed(1);
        rig.advanceClock();
        rig.window().TimerRecAI_Timer();
        if (t % TicksPerEventRun == 0)
            QApplication::processEvents();
        if (t == Hour)
            afterHour = residentKb();
    }
    const long afterDay = residentKb();
    std::fprintf(stderr, "memory: %d ticks in %.1f s; %lld samples logged; %lld chart points\n",
                 Day, elapsedMs(wall) / 1000.0,
                 static_cast<long long>(rig.window().session().sampleCount()),
                 static_cast<long long>(rig.chart().pointCount(1)));

    const double ratio =
        afterHour > 0 ? static_cast<double>(afterDay) / static_cast<double>(afterHour) : 0.0;
    const QString chartNote = chartOff ? QStringLiteral(" (chart off)") : QString();
    row(QStringLiteral("VmRSS after 3,600 ticks") + chartNote,
        QString::number(afterHour) + QStringLiteral(" kB"));
    row(QStringLiteral("VmRSS after 86,400 ticks") + chartNote,
        QString::number(afterDay) + QStringLiteral(" kB"));
    row(QStringLiteral("VmRSS ratio, day / hour") + chartNote,
        QString::number(ratio, 'f', 3) + QStringLiteral("x"),
        chartOff ? QString() : QStringLiteral("<= 1.3x"),
        chartOff ? -1 : int(afterHour > 0 && ratio <= 1.3));
    return 0;
}
