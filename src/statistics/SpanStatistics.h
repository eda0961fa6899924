#pragma once

#include "statistics/ReadingStatistics.h"

#include <QStringList>
#include <vector>

namespace kt7 {

// The statistics table: a row per shown device over the rows whose key lies in [low, high].
struct SpanStatistics {
    struct Device {
        int device = 0;
        QString name;
        QString unit;
        ReadingStatistics stats;
    };

    double low = 0.0;
    double high = 0.0;
    bool timeKeys = false; // the rate is per second rather than per sample
    std::vector<Device> devices;

    QStringList header() const;
    // The cells of a device's row as text: numbers with a point to the given significant digits
    // (all a double holds by default, fewer for the screen), a dash where there is none.
    static constexpr int ShownDigits = 7;
    static QStringList cells(const Device& device, int significantDigits = 15);
    // Index of the first numeric column of header() and cells().
    static constexpr int FirstNumberColumn = 2;
    // Header and rows as tab-separated lines, for the clipboard.
    QString tabSeparated() const;
};

} // namespace kt7
