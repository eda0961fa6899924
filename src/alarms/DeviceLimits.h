#pragma once

#include <optional>

namespace kt7 {

// One device's alarm limits, in its unit after tare; times in seconds.
struct DeviceLimits {
    std::optional<double> high;
    std::optional<double> low;
    // How far back inside a limit a reading must come before its alarm ends, so that a value
    // hovering at the limit raises one alarm, not one a tick.
    double deadband = 0;
    // How long readings must stay beyond a limit before the alarm is raised.
    double delay = 0;
    // No complete reading for this long while linked or waiting for the port; none: not watched.
    std::optional<double> silent;

    bool isEmpty() const { return *this == DeviceLimits{}; }
    bool operator==(const DeviceLimits&) const = default;
};

} // namespace kt7
