#include "chart/ReadingStatistics.h"

#include <algorithm>
#include <cmath>

namespace kt7 {

namespace {

constexpr qsizetype BlockPoints = 512;

// Count, means and sums of squared and crossed deviations from the means.
struct Moments {
    double count = 0.0;
    double meanKey = 0.0;
    double meanValue = 0.0;
    double keySquares = 0.0;
    double valueSquares = 0.0;
    double products = 0.0;
};

// Chan, Golub and LeVeque's join of two sets' centred sums.
void join(Moments& into, const Moments& part) {
    if (part.count == 0.0)
        return;
    if (into.count == 0.0) {
        into = part;
        return;
    }
    const double count = into.count + part.count;
    const double dKey = part.meanKey - into.meanKey;
    const double dValue = part.meanValue - into.meanValue;
    const double weight = into.count * part.count / count;
    into.keySquares += part.keySquares + dKey * dKey * weight;
    into.valueSquares += part.valueSquares + dValue * dValue * weight;
    into.products += part.products + dKey * dValue * weight;
    into.meanKey += dKey * part.count / count;
    into.meanValue += dValue * part.count / count;
    into.count = count;
}

// Sums about the block's first reading: their deviation from the block's mean is at most its
// range, so turning them into centred sums loses little. The means are kept relative to the
// span's first reading, the origin, where a small change on a large offset keeps all its digits.
Moments blockMoments(GraphPoint begin, GraphPoint end, const QCPGraphData& origin, double& low,
                     double& high) {
    while (begin != end && std::isnan(begin->value))
        ++begin;
    if (begin == end)
        return {};
    const double key0 = begin->key;
    const double value0 = begin->value;
    double n = 0, sk = 0, sv = 0, skk = 0, svv = 0, skv = 0;
    for (GraphPoint p = begin; p != end; ++p) {
        const double v = p->value;
        if (std::isnan(v))
            continue;
        const double dk = p->key - key0;
        const double dv = v - value0;
        n += 1;
        sk += dk;
        sv += dv;
        skk += dk * dk;
        svv += dv * dv;
        skv += dk * dv;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    Moments m;
    m.count = n;
    m.meanKey = (key0 - origin.key) + sk / n;
    m.meanValue = (value0 - origin.value) + sv / n;
    m.keySquares = std::max(0.0, skk - sk * sk / n);
    m.valueSquares = std::max(0.0, svv - sv * sv / n);
    m.products = skv - sk * sv / n;
    return m;
}

} // namespace

ReadingStatistics statisticsOf(GraphPoint begin, GraphPoint end) {
    ReadingStatistics stats;
    const auto total = end - begin;
    if (total <= 0)
        return stats;
    const auto firstReading =
        std::find_if(begin, end, [](const QCPGraphData& p) { return !std::isnan(p.value); });
    stats.emptyCells = total;
    if (firstReading == end)
        return stats;
    Moments all;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (GraphPoint block = firstReading; block < end;) {
        const GraphPoint blockEnd = block + std::min(BlockPoints, qsizetype(end - block));
        join(all, blockMoments(block, blockEnd, *firstReading, low, high));
        block = blockEnd;
    }
    stats.readings = static_cast<qint64>(all.count);
    stats.emptyCells = total - stats.readings;
    const auto lastReading =
        std::find_if(std::make_reverse_iterator(end), std::make_reverse_iterator(begin),
                     [](const QCPGraphData& p) { return !std::isnan(p.value); });
    stats.first = firstReading->value;
    stats.last = lastReading->value;
    stats.minimum = low;
    stats.maximum = high;
    stats.mean = firstReading->value + all.meanValue;
    if (all.count > 1)
        stats.standardDeviation = std::sqrt(all.valueSquares / (all.count - 1));
    if (all.keySquares > 0.0)
        stats.slope = all.products / all.keySquares;
    return stats;
}

} // namespace kt7
