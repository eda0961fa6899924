#include "statistics/ReadingStatistics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kt7 {

namespace {

using Moments = ReadingBlocks::Moments;

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

// Sums of the deviations from a block's first point.
struct Sums {
    double count = 0, key = 0, value = 0, keySquares = 0, valueSquares = 0, products = 0;
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
};

// Adds one reading, as deviations from the block's first.
void addOne(Sums& sums, double dk, double dv, double v) {
    sums.count += 1;
    sums.key += dk;
    sums.value += dv;
    sums.keySquares += dk * dk;
    sums.valueSquares += dv * dv;
    sums.products += dk * dv;
    sums.low = std::min(sums.low, v);
    sums.high = std::max(sums.high, v);
}

#ifdef __SSE2__
// Two rows of the columns per register, keys in one and values in the other, and two sets of
// sums so that consecutive rows do not wait for each other. A NaN value masks its row to nothing.
// Returns how many rows it took.
std::size_t addColumns(const double* keys, const double* values, std::size_t count, double key0,
                       double value0, Sums& out) {
    const __m128d k0 = _mm_set1_pd(key0), v0 = _mm_set1_pd(value0);
    const __m128d one = _mm_set1_pd(1.0), zero = _mm_setzero_pd();
    __m128d sk[2] = {zero, zero}, sv[2] = {zero, zero}, skk[2] = {zero, zero};
    __m128d svv[2] = {zero, zero}, skv[2] = {zero, zero}, n[2] = {zero, zero};
    __m128d low[2] = {_mm_set1_pd(out.low), _mm_set1_pd(out.low)};
    __m128d high[2] = {_mm_set1_pd(out.high), _mm_set1_pd(out.high)};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        for (int set = 0; set < 2; ++set) {
            const __m128d value = _mm_loadu_pd(values + i + 2 * set);
            const __m128d reading = _mm_cmpord_pd(value, value);
            const __m128d dk =
                _mm_and_pd(_mm_sub_pd(_mm_loadu_pd(keys + i + 2 * set), k0), reading);
            const __m128d dv = _mm_and_pd(_mm_sub_pd(value, v0), reading);
            sk[set] = _mm_add_pd(sk[set], dk);
            sv[set] = _mm_add_pd(sv[set], dv);
            skk[set] = _mm_add_pd(skk[set], _mm_mul_pd(dk, dk));
            svv[set] = _mm_add_pd(svv[set], _mm_mul_pd(dv, dv));
            skv[set] = _mm_add_pd(skv[set], _mm_mul_pd(dk, dv));
            n[set] = _mm_add_pd(n[set], _mm_and_pd(reading, one));
            // With a NaN in the first operand both return the second: the NaN is passed over.
            low[set] = _mm_min_pd(value, low[set]);
            high[set] = _mm_max_pd(value, high[set]);
        }
    }
    const auto total = [](__m128d a, __m128d b) {
        alignas(16) double both[2];
        _mm_store_pd(both, _mm_add_pd(a, b));
        return both[0] + both[1];
    };
    out.count += total(n[0], n[1]);
    out.key += total(sk[0], sk[1]);
    out.value += total(sv[0], sv[1]);
    out.keySquares += total(skk[0], skk[1]);
    out.valueSquares += total(svv[0], svv[1]);
    out.products += total(skv[0], skv[1]);
    alignas(16) double extremes[2];
    _mm_store_pd(extremes, _mm_min_pd(low[0], low[1]));
    out.low = std::min(extremes[0], extremes[1]);
    _mm_store_pd(extremes, _mm_max_pd(high[0], high[1]));
    out.high = std::max(extremes[0], extremes[1]);
    return i;
}
#endif

// Sums about the block's first reading: their deviation from the block's mean is at most its
// range, so turning them into centred sums loses little. The means are kept relative to the
// span's first reading, the origin, where a small change on a large offset keeps all its digits.
Moments momentsOf(const Sums& sums, double key0, double value0, double originKey,
                  double originValue, double& low, double& high) {
    low = std::min(low, sums.low);
    high = std::max(high, sums.high);
    const double n = sums.count;
    const double sumK = sums.key, sumV = sums.value;
    const double sumKK = sums.keySquares, sumVV = sums.valueSquares, sumKV = sums.products;
    Moments m;
    m.count = n;
    m.meanKey = (key0 - originKey) + sumK / n;
    m.meanValue = (value0 - originValue) + sumV / n;
    m.keySquares = std::max(0.0, sumKK - sumK * sumK / n);
    m.valueSquares = std::max(0.0, sumVV - sumV * sumV / n);
    m.products = sumKV - sumK * sumV / n;
    return m;
}

Moments blockMoments(const double* keys, const double* values, std::size_t count, double originKey,
                     double originValue, double& low, double& high) {
    std::size_t first = 0;
    while (first < count && std::isnan(values[first]))
        ++first;
    if (first == count)
        return {};
    keys += first;
    values += first;
    count -= first;
    const double key0 = keys[0];
    const double value0 = values[0];
    Sums sums;
    std::size_t i = 0;
#ifdef __SSE2__
    i = addColumns(keys, values, count, key0, value0, sums);
#endif
    for (; i < count; ++i)
        if (!std::isnan(values[i]))
            addOne(sums, keys[i] - key0, values[i] - value0, values[i]);
    return momentsOf(sums, key0, value0, originKey, originValue, low, high);
}

} // namespace

void ReadingBlocks::add(const double* keys, const double* values, std::size_t count) {
    join(all, blockMoments(keys, values, count, originKey, originValue, low, high));
}

ReadingStatistics ReadingBlocks::finish(qint64 total, double first, double last) const {
    ReadingStatistics stats;
    stats.readings = static_cast<qint64>(all.count);
    stats.emptyCells = total - stats.readings;
    stats.first = first;
    stats.last = last;
    stats.minimum = low;
    stats.maximum = high;
    stats.mean = first + all.meanValue;
    if (all.count > 1)
        stats.standardDeviation = std::sqrt(all.valueSquares / (all.count - 1));
    if (all.keySquares > 0.0)
        stats.slope = all.products / all.keySquares;
    return stats;
}

ReadingStatistics statisticsOf(const double* keys, const double* values, std::size_t count) {
    ReadingStatistics stats;
    stats.emptyCells = static_cast<qint64>(count);
    std::size_t first = 0;
    while (first < count && std::isnan(values[first]))
        ++first;
    if (first == count)
        return stats;
    std::size_t last = count - 1;
    while (std::isnan(values[last]))
        --last;
    ReadingBlocks blocks(keys[first], values[first]);
    for (std::size_t row = first; row <= last;) {
        const std::size_t size = std::min<std::size_t>(ReadingBlocks::BlockRows, last + 1 - row);
        blocks.add(keys + row, values + row, size);
        row += size;
    }
    return blocks.finish(static_cast<qint64>(count), values[first], values[last]);
}

} // namespace kt7
