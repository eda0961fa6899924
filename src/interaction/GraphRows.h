#pragma once

#include "acquisition/SampleBlock.h"
#include "measure/MeasureSource.h"

#include <array>

namespace kt7 {

// Fills the row lookups a source leaves empty from the plotted graphs, as the live chart plots
// them: every graph holds a point per row, NaN where the device had no reading, and the key is
// the sample number.
MeasureSource withGraphRows(MeasureSource source, const std::array<QCPGraph*, DeviceCount>& graphs);

} // namespace kt7
