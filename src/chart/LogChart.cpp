#include "chart/LogChart.h"

#include "chart/DeviceAxes.h"
#include "chart/DeviceColours.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace kt7 {

namespace {

bool sortedByKey(const QVector<QCPGraphData>& points) {
    return std::is_sorted(points.cbegin(), points.cend(),
                          [](const auto& a, const auto& b) { return a.key < b.key; });
}

} // namespace

LogChart::LogChart(QWidget* parent) : QCustomPlot(parent) {
    yAxes = styleDeviceChart(*this);
    for (int d = 0; d < DeviceCount; ++d) {
        graphs[d] = addGraph(xAxis, yAxes[d]);
        graphs[d]->setAdaptiveSampling(true);
        graphs[d]->setPen(QPen(deviceColour(d), 1));
        colourAxis(*yAxes[d], deviceColour(d));
        full[d] = graphs[d]->data();
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
    timeKeys = time;
    if (!time) {
        xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
        xAxis->setLabel(tr("Sample"));
        return;
    }
    // Keys are the wall-clock time the log shows, counted as if in UTC: no zone shifts them.
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeSpec(Qt::UTC);
    ticker->setDateTimeFormat(QStringLiteral("HH:mm:ss\n") +
                              QLocale().dateFormat(QLocale::ShortFormat));
    xAxis->setTicker(ticker);
    xAxis->setLabel(tr("Time"));
}

void LogChart::collectPoints(const LogRows& rows, bool time, DevicePoints& points) {
    const auto& keys = time ? rows.seconds : rows.sampleNumbers;
    for (int d = 0; d < DeviceCount; ++d) {
        const auto& values = rows.values[d];
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (!std::isnan(values[r]) && !std::isnan(keys[r]))
                points[d].append(QCPGraphData(keys[r], values[r]));
    }
}

void LogChart::setPoints(DevicePoints&& points) {
    for (int d = 0; d < DeviceCount; ++d) {
        const bool sorted = sortedByKey(points[d]);
        full[d]->set(points[d], sorted);
        points[d] = {};
    }
    rebuildBuckets();
}

void LogChart::appendPoints(const DevicePoints& points) {
    for (int d = 0; d < DeviceCount; ++d)
        full[d]->add(points[d], sortedByKey(points[d]));
    rebuildBuckets();
}

void LogChart::clearPoints() {
    for (int d = 0; d < DeviceCount; ++d)
        full[d]->clear();
    rebuildBuckets();
}

// Each bucket of points gives its lowest and its highest reading, in the order they came.
QVector<QCPGraphData> LogChart::extremesOf(const QCPGraphDataContainer& points) {
    QVector<QCPGraphData> kept;
    kept.reserve(2 * (points.size() / BucketSize + 1));
    for (auto it = points.constBegin(); it != points.constEnd();) {
        const auto end = std::min(it + BucketSize, points.constEnd());
        const auto [low, high] = std::minmax_element(
            it, end, [](const auto& a, const auto& b) { return a.value < b.value; });
        kept.append(low->key <= high->key ? *low : *high);
        if (low != high)
            kept.append(low->key <= high->key ? *high : *low);
        it = end;
    }
    return kept;
}

// A level's buckets are built from the level below: 32 points, then 32 extremes of 16 buckets.
void LogChart::rebuildBuckets() {
    for (int d = 0; d < DeviceCount; ++d) {
        const QCPGraphDataContainer* below = full[d].data();
        for (auto& level : buckets[d]) {
            level->set(extremesOf(*below), true);
            below = level.data();
        }
    }
}

// The coarsest level whose buckets still span no more than a pixel column.
void LogChart::chooseDetail() {
    const QCPRange shown = xAxis->range();
    const double pixels = std::max(1, axisRect()->width());
    for (int d = 0; d < DeviceCount; ++d) {
        const auto visible = full[d]->findEnd(shown.upper) - full[d]->findBegin(shown.lower);
        const double perPixel = static_cast<double>(visible) / pixels;
        QSharedPointer<QCPGraphDataContainer> chosen = full[d];
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

void LogChart::showAll() {
    std::optional<QCPRange> keys;
    for (int d = 0; d < DeviceCount; ++d) {
        if (full[d]->isEmpty())
            continue;
        const QCPRange range(full[d]->constBegin()->key, (full[d]->constEnd() - 1)->key);
        keys =
            keys ? QCPRange(std::min(keys->lower, range.lower), std::max(keys->upper, range.upper))
                 : range;
        bool found = false;
        QCPRange values = full[d]->valueRange(found);
        if (values.size() <= 0)
            values = QCPRange(values.lower - 1, values.upper + 1);
        yAxes[d]->setRange(values);
    }
    if (keys)
        xAxis->setRange(keys->size() > 0 ? *keys : QCPRange(keys->lower - 1, keys->upper + 1));
}

} // namespace kt7
