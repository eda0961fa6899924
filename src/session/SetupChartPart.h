#pragma once

#include "acquisition/SampleBlock.h"

#include <QString>
#include <array>

namespace kt7 {

// The chart's settings a set-up file keeps beside the logger's: the window's own, as its
// controls hold them.
struct SetupChartPart {
    QString xPoints;
    std::array<int, DeviceCount> yAuto{};
    std::array<QString, DeviceCount> yMax;
    std::array<QString, DeviceCount> yMin;
};

} // namespace kt7
