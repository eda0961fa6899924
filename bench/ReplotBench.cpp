// Replot time of the chart at the window's size: many visible points, and a long history of
// which only a short strip is visible against a history no longer than the strip.
#include "BenchReport.h"
#include "chart/ChartComponent.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cmath>
#include <memory>

using namespace kt7bench;

namespace {

constexpr int ChartWidth = 729;
constexpr int ChartHeight = 290;
constexpr int XAxis = 1;

// A shown chart holding `points` readings per device, appended a tick's block at a time.
std::unique_ptr<kt7::ChartComponent> filledChart(qsizetype points) {
    auto chart = std::make_unique<kt7::ChartComponent>();
    chart->resize(ChartWidth, ChartHeight);
    chart->show();
    if (!QTest::qWaitForWindowExposed(chart.get()))
        std::fprintf(stderr, "replot: the chart window was not exposed\n");
    kt7::SampleBlock block;
    qsizetype added = 0;
    while (added < points) {
        const int rows = static_cast<int>(std::min<qsizetype>(kt7::MaxBlockRows, points - added));
        for (int d = 0; d < kt7::DeviceCount; ++d) {
            auto& column = block.columns[static_cast<std::size_t>(d)];
            column.resize(static_cast<std::size_t>(rows));
            for (int r = 0; r < rows; ++r) {
                const double k = static_cast<double>(added + r);
                // A slow wave with some noise, like a real reading.
                column[static_cast<std::size_t>(r)] =
                    100.0 * std::sin(0.001 * k + d) + std::fmod(k * 7.31, 3.0);
            }
        }
        chart->appendBlock(block);
        added += rows;
    }
    return chart;
}

double medianReplotMs(kt7::ChartComponent& chart, int replots) {
    chart.replot();
    std::vector<double> times;
    for (int i = 0; i < replots; ++i) {
        QElapsedTimer timer;
        timer.start();
        chart.replot();
        times.push_back(elapsedMs(timer));
    }
    return median(times);
}

// The X axis as the user sets it in "X-Points": from 0 to `span`; the strip then follows the
// newest point.
void showSpan(kt7::ChartComponent& chart, double span) {
    chart.setAxisMaximum(XAxis, span);
    chart.setAxisMinimum(XAxis, 0);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    double wide = 0.0;
    {
        auto chart = filledChart(100'000);
        showSpan(*chart, 100'000);
        wide = medianReplotMs(*chart, 40);
    }
    double longHistory = 0.0;
    {
        auto chart = filledChart(1'000'000);
        showSpan(*chart, 300);
        std::fprintf(stderr, "replot: history %lld points per trace, X %g..%g\n",
                     static_cast<long long>(chart->pointCount(1)), chart->xAxis->range().lower,
                     chart->xAxis->range().upper);
        longHistory = medianReplotMs(*chart, 200);
    }
    double shortHistory = 0.0;
    {
        auto chart = filledChart(300);
        showSpan(*chart, 300);
        shortHistory = medianReplotMs(*chart, 200);
    }

    row(QStringLiteral("replot, 8 x 100,000 visible points (median)"), ms(wide),
        QStringLiteral("<= 20 ms"), wide <= 20.0);
    row(QStringLiteral("replot, 8 x 300 visible of 1,000,000 history (median)"), ms(longHistory));
    row(QStringLiteral("replot, 8 x 300 visible of 300 history (median)"), ms(shortHistory));
    const double ratio = shortHistory > 0.0 ? longHistory / shortHistory : 0.0;
    row(QStringLiteral("replot ratio, 1,000,000 history / 300 history"),
        QString::number(ratio, 'f', 2) + QStringLiteral("x"), QStringLiteral("<= 1.5x"),
        ratio <= 1.5);
    return 0;
}
