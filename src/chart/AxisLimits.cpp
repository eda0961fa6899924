#include "chart/AxisLimits.h"

#include <cmath>
#include <qcustomplot.h>

namespace kt7 {

void showLimits(QCPAxis& axis, const AxisLimits& limits) {
    if (limits.maximum == limits.minimum)
        return;
    const bool reversed = limits.maximum < limits.minimum;
    const double low = reversed ? limits.maximum : limits.minimum;
    const double high = reversed ? limits.minimum : limits.maximum;
    if (!QCPRange::validRange(low, high))
        return;
    axis.setRangeReversed(reversed);
    axis.setRange(low, high);
}

AxisLimits stripWindow(const AxisLimits& set, std::optional<double> newestKey) {
    const double span = set.maximum - set.minimum;
    if (!newestKey || !(span > 0.0) || *newestKey <= set.maximum)
        return set;
    return {*newestKey - span, *newestKey};
}

AxisLimits fittedLimits(double low, double high, const AxisLimits& current) {
    if (high > low)
        return {low, high};
    double span = std::abs(current.maximum - current.minimum);
    if (!(span > 0.0) || !std::isfinite(span))
        span = 1.0;
    return {low - span / 2.0, low + span / 2.0};
}

} // namespace kt7
