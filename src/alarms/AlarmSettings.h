#pragma once

#include "acquisition/SampleBlock.h"
#include "alarms/DeviceLimits.h"

#include <QString>
#include <array>

namespace kt7 {

// What alarms.conf says: limits per device (index 0 is device 1) and how an alarm is told.
struct AlarmSettings {
    std::array<DeviceLimits, DeviceCount> devices;
    QString command; // run for each alarm raised or ended; empty: none
    bool beep = false;

    bool hasLimits() const {
        for (const DeviceLimits& limits : devices)
            if (!limits.isEmpty())
                return true;
        return false;
    }
    bool operator==(const AlarmSettings&) const = default;
};

} // namespace kt7
