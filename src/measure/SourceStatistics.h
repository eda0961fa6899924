#pragma once

#include "measure/MeasureSource.h"
#include "statistics/SpanStatistics.h"

namespace kt7 {

// The statistics table of the devices a source shows over the rows whose key lies in
// [low, high], read from the source or, where it leaves them out, from the plotted graphs.
SpanStatistics
spanStatistics(const MeasureSource& source, int devices, double low, double high,
               const std::function<QSharedPointer<QCPGraphDataContainer>(int)>& graphData);

} // namespace kt7
