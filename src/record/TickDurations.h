#pragma once

#include <QtGlobal>

namespace kt7 {

// How long the sampling ticks took, measured on a steady clock around the whole tick.
struct TickDurations {
    qint64 ticks = 0;
    qint64 totalNs = 0;
    qint64 longestNs = 0;

    void add(qint64 ns) {
        ++ticks;
        totalNs += ns;
        longestNs = qMax(longestNs, ns);
    }
    double meanMs() const { return ticks ? totalNs / 1e6 / static_cast<double>(ticks) : 0.0; }
    double longestMs() const { return longestNs / 1e6; }
};

} // namespace kt7
