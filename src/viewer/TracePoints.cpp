#include "viewer/TracePoints.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kt7 {

namespace {

// Collects buckets of points and keeps each bucket's extremes in key order.
class ExtremesCollector {
  public:
    ExtremesCollector(int size, qsizetype points) : size(size) {
        kept.reserve(2 * (points / size + 1));
    }
    void add(double key, double value) {
        if (count == 0 || value < low.value)
            low = {key, value};
        if (count == 0 || value > high.value)
            high = {key, value};
        if (++count == size)
            flush();
    }
    QVector<QCPGraphData> take() {
        flush();
        return std::move(kept);
    }

  private:
    void flush() {
        if (count == 0)
            return;
        const bool lowFirst = low.key <= high.key;
        kept.append(lowFirst ? low : high);
        if (count > 1 && (low.key != high.key || low.value != high.value))
            kept.append(lowFirst ? high : low);
        count = 0;
    }
    int size;
    int count = 0;
    QCPGraphData low;
    QCPGraphData high;
    QVector<QCPGraphData> kept;
};

template <typename Column> void permute(Column& column, const std::vector<std::size_t>& order) {
    Column sorted;
    sorted.reserve(column.size());
    for (const std::size_t row : order)
        sorted.push_back(column[row]);
    column.swap(sorted);
}

} // namespace

void TracePoints::sortByKey(LogRows& rows, bool time) {
    const LogColumn& keys = time ? rows.seconds : rows.sampleNumbers;
    if (std::is_sorted(keys.begin(), keys.end(), keyBefore))
        return;
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keyBefore(keys[a], keys[b]); });
    permute(rows.sampleNumbers, order);
    permute(rows.seconds, order);
    for (auto& column : rows.values)
        permute(column, order);
}

std::size_t TracePoints::rowAtOrAfter(const LogColumn& keys, double key) {
    return static_cast<std::size_t>(std::lower_bound(keys.begin(), keys.end(), key, keyBefore) -
                                    keys.begin());
}

QVector<QCPGraphData> TracePoints::rowsOf(const LogColumn& keys, const LogColumn& values,
                                          std::size_t begin, std::size_t end, std::size_t step) {
    QVector<QCPGraphData> points;
    end = std::min(end, keys.size());
    if (begin >= end)
        return points;
    points.reserve(static_cast<qsizetype>((end - begin) / step + 1));
    for (std::size_t row = begin; row < end; row += step)
        if (!std::isnan(values[row]) && !std::isnan(keys[row]))
            points.append(QCPGraphData(keys[row], values[row]));
    return points;
}

QVector<QCPGraphData> TracePoints::extremesOf(const LogColumn& keys, const LogColumn& values,
                                              int size) {
    ExtremesCollector buckets(size, static_cast<qsizetype>(keys.size()));
    for (std::size_t row = 0; row < keys.size(); ++row)
        if (!std::isnan(values[row]) && !std::isnan(keys[row]))
            buckets.add(keys[row], values[row]);
    return buckets.take();
}

QVector<QCPGraphData> TracePoints::extremesOf(const QCPGraphDataContainer& points, int size) {
    ExtremesCollector buckets(size, points.size());
    for (auto it = points.constBegin(); it != points.constEnd(); ++it)
        buckets.add(it->key, it->value);
    return buckets.take();
}

} // namespace kt7
