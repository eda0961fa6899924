#pragma once

#include "logfile/LogReader.h"

#include <QVector>
#include <qcustomplot.h>
#include <vector>

namespace kt7 {

// The points a trace of a log draws, built from the log's columns when needed: a log is held
// once, as columns of doubles, and a trace gets the rows in view or the extremes of buckets.
class TracePoints {
  public:
    // Orders the rows by the key column (sample numbers, or seconds with time); rows of equal
    // keys keep their order in the file, rows without a key go last.
    static void sortByKey(LogRows& rows, bool time);
    static bool keyBefore(double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); }
    // Index of the first row whose key is not below `key`.
    static std::size_t rowAtOrAfter(const LogColumn& keys, double key);

    // A device's points of rows [begin, end), every step-th row; empty cells are no point.
    static QVector<QCPGraphData> rowsOf(const LogColumn& keys, const LogColumn& values,
                                        std::size_t begin, std::size_t end, std::size_t step = 1);
    // The lowest and the highest reading of every `size` points, in the order they came.
    static QVector<QCPGraphData> extremesOf(const LogColumn& keys, const LogColumn& values,
                                            int size);
    static QVector<QCPGraphData> extremesOf(const QCPGraphDataContainer& points, int size);
};

} // namespace kt7
