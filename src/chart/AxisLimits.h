#pragma once

#include <optional>

class QCPAxis;

namespace kt7 {

// The minimum and maximum last set on an axis. What the axis shows is derived from them.
struct AxisLimits {
    double minimum = 0.0;
    double maximum = 0.0;
};

// Shows minimum at the low end and maximum at the high end of the axis. A maximum below the
// minimum turns the axis upside down instead of being swapped, so the inversion stays visible.
// Equal limits would be a zero-width range, which QCustomPlot refuses: the axis keeps what it
// showed.
void showLimits(QCPAxis& axis, const AxisLimits& limits);

// The window a strip chart shows: the set limits until the newest key passes the maximum, then
// the same span ending at the newest key. Limits without a positive span never scroll.
AxisLimits stripWindow(const AxisLimits& set, std::optional<double> newestKey);

// The range that fits data from low to high. Data of no width gets the current span centred on
// it, since a zero-width range cannot be shown.
AxisLimits fittedLimits(double low, double high, const AxisLimits& current);

} // namespace kt7
