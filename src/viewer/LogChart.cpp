#include "viewer/LogChart.h"

#include "chart/DeviceAxes.h"
#include "chart/DeviceColours.h"
#include "statistics/RowKeys.h"
#include "viewer/TracePoints.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <thread>

namespace kt7 {

LogChart::LogChart(QWidget* parent) : QCustomPlot(parent) {
    yAxes = styleDeviceChart(*this);
    for (int d = 0; d < DeviceCount; ++d) {
        graphs[d] = addGraph(xAxis, yAxes[d]);
        graphs[d]->setAdaptiveSampling(true);
        graphs[d]->setPen(QPen(deviceColour(d), 1));
        colourAxis(*yAxes[d], deviceColour(d));
        detail[d] = graphs[d]->data();
        for (auto& level : buckets[d])
            level = QSharedPointer<QCPGraphDataContainer>::create();
    }
    setTimeAxis(false);
    // The choice depends on the width of the plot, known once the layout ran.
    connect(this, &QCustomPlot::afterLayout, this, &LogChart::chooseDetail);
}

void LogChart::setDevices(const std::array<QString, DeviceCount>& labels,
                          const std::array<QString, DeviceCount>& units) {
    for (int d = 0; d < DeviceCount; ++d) {
        const QString unit = units[d].trimmed();
        yAxes[d]->setLabel(unit.isEmpty() ? labels[d] : labels[d] + " (" + unit + ")");
    }
}

void LogChart::setTimeAxis(bool time) {
    const bool changed = timeKeys != time;
    timeKeys = time;
    if (!time) {
        xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
        xAxis->setLabel(tr("Sample"));
    } else {
        // Keys are the wall-clock time the log shows, counted as if in UTC: no zone shifts them.
        auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
        ticker->setDateTimeSpec(Qt::UTC);
        ticker->setDateTimeFormat(QStringLiteral("HH:mm:ss\n") +
                                  QLocale().dateFormat(QLocale::ShortFormat));
        xAxis->setTicker(ticker);
        xAxis->setLabel(tr("Time"));
    }
    if (changed && data.size() > 0) {
        TracePoints::sortByKey(data, timeKeys);
        dataChanged();
    }
}

void LogChart::setRows(LogRows&& rows) {
    data = std::move(rows);
    TracePoints::sortByKey(data, timeKeys);
    dataChanged();
}

void LogChart::appendRows(LogRows&& rows) {
    if (rows.size() == 0)
        return;
    const bool inOrder = data.size() == 0 ||
                         !TracePoints::keyBefore(
                             (timeKeys ? rows.seconds : rows.sampleNumbers).front(), keys().back());
    data.append(std::move(rows));
    if (!inOrder)
        TracePoints::sortByKey(data, timeKeys);
    dataChanged();
}

void LogChart::dataChanged() {
    detailRows = {};
    for (auto& points : detail)
        points->clear();
    for (auto& points : readout)
        points.reset();
    readoutRows = {};
    rebuildBuckets();
}

// A level's buckets are built from the level below: 32 points, then 32 extremes of 16 buckets.
// Devices do not share a bucket, so a large log has half of them built in a second thread.
void LogChart::rebuildBuckets() {
    const auto build = [this](int from, int to) {
        for (int d = from; d < to; ++d) {
            const auto& values = data.values[d];
            counts[d] = std::count_if(values.begin(), values.end(),
                                      [](double value) { return !std::isnan(value); });
            buckets[d][0]->set(TracePoints::extremesOf(keys(), values, BucketSize), true);
            for (int level = 1; level < Levels; ++level)
                buckets[d][level]->set(TracePoints::extremesOf(*buckets[d][level - 1], BucketSize),
                                       true);
        }
    };
    std::thread second;
    if (data.size() >= ParallelFromRows)
        second = std::thread(build, DeviceCount / 2, DeviceCount);
    build(0, second.joinable() ? DeviceCount / 2 : DeviceCount);
    if (second.joinable())
        second.join();
}

// Rows from the one before the view to the one after it, so lines leave the view as they should.
std::pair<std::size_t, std::size_t> LogChart::rowsInView() const {
    const QCPRange shown = xAxis->range();
    const std::size_t begin = TracePoints::rowAtOrAfter(keys(), shown.lower);
    const std::size_t end = TracePoints::rowAtOrAfter(keys(), shown.upper);
    return {begin > 0 ? begin - 1 : 0, std::min(end + 1, data.size())};
}

// The coarsest level whose buckets still span no more than a pixel column; below a bucket per
// pixel, every point of the view and a margin of a view's width on either side. How many of a
// device's points are in view is told from its share of the rows.
void LogChart::chooseDetail() {
    const auto [begin, end] = rowsInView();
    const double pixels = std::max(1, axisRect()->width());
    const double share = data.size() > 0 ? static_cast<double>(end - begin) / data.size() : 0.0;
    for (int d = 0; d < DeviceCount; ++d) {
        const double perPixel = share * static_cast<double>(counts[d]) / pixels;
        if (perPixel < BucketSize && (begin < detailRows[d].first || end > detailRows[d].second)) {
            const std::size_t margin = end - begin;
            detailRows[d] = {begin > margin ? begin - margin : 0,
                             std::min(end + margin, data.size())};
            detail[d]->set(TracePoints::rowsOf(keys(), data.values[d], detailRows[d].first,
                                               detailRows[d].second),
                           true);
        }
        QSharedPointer<QCPGraphDataContainer> chosen = detail[d];
        double span = BucketSize;
        for (const auto& level : buckets[d]) {
            if (perPixel < span)
                break;
            chosen = level;
            span *= BucketSize / 2.0;
        }
        if (graphs[d]->data() != chosen)
            graphs[d]->setData(chosen);
    }
}

QSharedPointer<QCPGraphDataContainer> LogChart::points(int device) const {
    const auto [begin, end] = rowsInView();
    const std::size_t pixels = static_cast<std::size_t>(std::max(1, axisRect()->width()));
    const std::size_t rows = end - begin;
    const std::size_t step =
        rows <= ReadoutRows ? 1 : std::max<std::size_t>(1, rows / (4 * pixels));
    if (readoutRows != std::array{begin, end, step}) {
        readoutRows = {begin, end, step};
        for (int d = 0; d < DeviceCount; ++d)
            readout[d].reset();
    }
    if (!readout[device])
        readout[device] = QSharedPointer<QCPGraphDataContainer>::create();
    if (readout[device]->isEmpty() && end > begin)
        readout[device]->set(TracePoints::rowsOf(keys(), data.values[device], begin, end, step),
                             true);
    return readout[device];
}

void LogChart::showAll() {
    std::optional<QCPRange> keyRange;
    for (int d = 0; d < DeviceCount; ++d) {
        const auto& values = data.values[d];
        const auto hasPoint = [&](std::size_t row) {
            return !std::isnan(values[row]) && !std::isnan(keys()[row]);
        };
        std::size_t first = 0;
        while (first < data.size() && !hasPoint(first))
            ++first;
        if (first == data.size())
            continue;
        std::size_t last = data.size() - 1;
        while (!hasPoint(last))
            --last;
        const QCPRange range(keys()[first], keys()[last]);
        keyRange = keyRange ? QCPRange(std::min(keyRange->lower, range.lower),
                                       std::max(keyRange->upper, range.upper))
                            : range;
        // The first level keeps every bucket's extremes: its value range is the device's.
        bool found = false;
        QCPRange shown = buckets[d][0]->valueRange(found);
        // A little room above and below: a trace that holds at its extreme would lie on the
        // frame of the plot, out of sight.
        const double margin = shown.size() > 0 ? shown.size() * 0.04 : 1.0;
        yAxes[d]->setRange(QCPRange(shown.lower - margin, shown.upper + margin));
    }
    if (keyRange)
        xAxis->setRange(keyRange->size() > 0 ? *keyRange
                                             : QCPRange(keyRange->lower - 1, keyRange->upper + 1));
}

QSharedPointer<QCPGraphDataContainer> LogChart::pointsBetween(int device, double low,
                                                              double high) const {
    auto [first, end] = rowsBetweenKeys(keys(), low, high);
    first = first > 0 ? first - 1 : 0;
    end = std::min(end + 1, data.size());
    const LogColumn& value = data.values[static_cast<std::size_t>(device)];
    QVector<QCPGraphData> points;
    points.reserve(static_cast<qsizetype>(end > first ? end - first : 0));
    for (std::size_t r = first; r < end; ++r)
        points.append(QCPGraphData(keys()[r], value[r]));
    auto container = QSharedPointer<QCPGraphDataContainer>::create();
    container->set(points, true);
    return container;
}

ReadingStatistics LogChart::statisticsBetween(int device, double low, double high) const {
    const auto [first, end] = rowsBetweenKeys(keys(), low, high);
    return statisticsOf(keys().data() + first,
                        data.values[static_cast<std::size_t>(device)].data() + first, end - first);
}

} // namespace kt7
