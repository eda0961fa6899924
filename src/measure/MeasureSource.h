#pragma once

#include "statistics/ReadingStatistics.h"

#include <QSharedPointer>
#include <QString>
#include <functional>
#include <optional>
#include <qcustomplot.h>

namespace kt7 {

// What the read-out, the cursors and the statistics read from a chart: which devices are shown,
// their names and units, their readings, and the rows the readings belong to. Every member may
// be left empty; the measuring tools then fall back to the plotted graph data.
struct MeasureSource {
    std::function<bool(int device)> shows;
    std::function<QString(int device)> name;
    std::function<QString(int device)> unit;
    std::function<QString(double key)> keyText;
    // Every reading of a device in key order, when the graph draws a reduced set; a NaN value is
    // an empty cell.
    std::function<QSharedPointer<QCPGraphDataContainer>(int device)> points;
    // Every reading of a device with a key in [low, high] and the nearest one on either side,
    // for a chart that keeps its readings elsewhere than in its graphs; preferred to points.
    std::function<QSharedPointer<QCPGraphDataContainer>(int device, double low, double high)>
        pointsBetween;
    // The statistics of a device's readings with a key in [low, high], for a chart that can
    // compute them where it keeps them; preferred to the points. Called from two threads at
    // once, so it may only read.
    std::function<ReadingStatistics(int device, double low, double high)> statisticsBetween;
    // X is wall-clock time in seconds rather than a sample number.
    std::function<bool()> timeKeys;
    // The key of the row nearest to a key: cursors stand on rows, not between them.
    std::function<std::optional<double>(double key)> nearestRow;
    // Rows whose key lies in [low, high], with or without readings.
    std::function<qint64(double low, double high)> rowsBetween;
    // The sample number of the row at a key.
    std::function<std::optional<double>(double key)> sampleAt;
};

} // namespace kt7
