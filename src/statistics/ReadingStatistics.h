#pragma once

#include <QtGlobal>
#include <cstddef>
#include <optional>
#include <qcustomplot.h>

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

// The statistics of the points [begin, end), in key order; a NaN value is an empty cell. One
// pass over the points: each block of them is summed about its own first reading, which keeps
// the block's sums small, and the blocks are joined by their centred sums, so the result holds
// to a few units of the last digit even for small changes on a large offset or keys in
// seconds since 1970.
using GraphPoint = QCPGraphDataContainer::const_iterator;
ReadingStatistics statisticsOf(GraphPoint begin, GraphPoint end);
// The same of `count` rows held as columns: keys[i] and values[i] make a point.
ReadingStatistics statisticsOf(const double* keys, const double* values, std::size_t count);

} // namespace kt7
