#pragma once

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <limits>
#include <optional>

namespace kt7 {

// What a span of one device's readings comes to. A figure the readings do not define (any figure
// of no reading, the spread of one, the slope when every key is the same) is empty, so it is shown
// as a dash rather than as 0 or NaN.
struct ReadingStatistics {
    qint64 readings = 0;
    qint64 emptyCells = 0;
    std::optional<double> minimum;
    std::optional<double> maximum;
    std::optional<double> mean;
    std::optional<double> standardDeviation; // of a sample: divided by readings - 1
    std::optional<double> first;
    std::optional<double> last;
    std::optional<double> slope; // least-squares change of the value per unit of key

    std::optional<double> peakToPeak() const {
        return minimum && maximum ? std::optional<double>(*maximum - *minimum) : std::nullopt;
    }
};

// Readings taken a block of columns at a time, summed about the span's first reading, the
// origin, so that readings kept as points in any container share the one kernel that reads
// columns.
class ReadingBlocks {
  public:
    static constexpr std::size_t BlockRows = 512;

    ReadingBlocks(double originKey, double originValue)
        : originKey(originKey), originValue(originValue) {}
    // Adds up to BlockRows rows; a NaN value is an empty cell.
    void add(const double* keys, const double* values, std::size_t count);
    // The figures of the readings added, `total` rows with empty cells, once their ends are known.
    ReadingStatistics finish(qint64 total, double first, double last) const;

    // Count, means and sums of squared and crossed deviations from the means.
    struct Moments {
        double count = 0.0;
        double meanKey = 0.0;
        double meanValue = 0.0;
        double keySquares = 0.0;
        double valueSquares = 0.0;
        double products = 0.0;
    };

  private:
    double originKey;
    double originValue;
    Moments all;
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
};

// The statistics of the points [begin, end), in key order, each with a key and a value; a NaN
// value is an empty cell. One pass over the points: each block of them is summed about its own
// first reading, which keeps the block's sums small, and the blocks are joined by their centred
// sums, so the result holds to a few units of the last digit even for small changes on a large
// offset or keys in seconds since 1970.
template <typename Point> ReadingStatistics statisticsOf(Point begin, Point end) {
    ReadingStatistics stats;
    const auto total = end - begin;
    if (total <= 0)
        return stats;
    const auto isReading = [](const auto& p) { return !std::isnan(p.value); };
    const Point firstReading = std::find_if(begin, end, isReading);
    stats.emptyCells = total;
    if (firstReading == end)
        return stats;
    // Each block of points is split into a key and a value column that stay in the first-level
    // cache.
    std::array<double, ReadingBlocks::BlockRows> keys;
    std::array<double, ReadingBlocks::BlockRows> values;
    ReadingBlocks blocks(firstReading->key, firstReading->value);
    for (Point block = firstReading; block < end;) {
        const auto size = static_cast<std::size_t>(
            std::min<qint64>(qint64(ReadingBlocks::BlockRows), qint64(end - block)));
        for (std::size_t i = 0; i < size; ++i) {
            keys[i] = block[qsizetype(i)].key;
            values[i] = block[qsizetype(i)].value;
        }
        blocks.add(keys.data(), values.data(), size);
        block += qsizetype(size);
    }
    const auto lastReading =
        std::find_if(std::make_reverse_iterator(end), std::make_reverse_iterator(begin), isReading);
    return blocks.finish(total, firstReading->value, lastReading->value);
}

// The same of `count` rows held as columns: keys[i] and values[i] make a point.
ReadingStatistics statisticsOf(const double* keys, const double* values, std::size_t count);

} // namespace kt7
