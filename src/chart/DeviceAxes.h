#pragma once

#include "acquisition/SampleBlock.h"

#include <QColor>
#include <array>

class QCPAxis;
class QCPAxisRect;
class QCustomPlot;

namespace kt7 {

// Sets up the eight device Y axes on one axis rect: devices 1 to 4 on the left, 5 to 8 on the
// right, stacked so that they read 1 2 3 4 | plot | 5 6 7 8. Element d is the axis of device d.
std::array<QCPAxis*, DeviceCount> createDeviceYAxes(QCPAxisRect& rect);

// The look the live chart and the log viewer share: white, lines without antialiasing so
// replots stay cheap, a compact X axis closed at the top, and the eight device Y axes with a grid
// on the first. Returns the Y axes, element d for device d.
std::array<QCPAxis*, DeviceCount> styleDeviceChart(QCustomPlot& plot);

// Compact ticks and labels, so that eight axes still leave most of a small chart to the traces.
void styleCompactAxis(QCPAxis& axis);

// Tick labels, ticks and axis line in one colour, so each axis is matched to its trace at a glance.
void colourAxis(QCPAxis& axis, const QColor& colour);

} // namespace kt7
