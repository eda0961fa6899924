#pragma once

#include "acquisition/DevicePoller.h"

#include <QString>
#include <array>

namespace kt7 {

// What the controls say for one sampling tick, read once at its start.
struct TickControls {
    std::array<DeviceInput, DeviceCount> devices;
    std::array<QString, DeviceCount> labels;
    int autoSample = 0; // 0 off, 1 on, 2 partly: counts the interval but writes no Fast rows
    bool fastMode = false;
    bool intervalMode = false;
    QString intervalText;
    bool manualRequest = false;
};

} // namespace kt7
