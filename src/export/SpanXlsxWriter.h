#pragma once

#include "export/LogSpanReader.h"
#include "statistics/SpanStatistics.h"

#include <vector>

namespace kt7 {

// Writes the rows of a span as an Excel workbook: a "Readings" sheet with a frozen header row
// (sample, date and time, then label and unit of each device asked for), readings as numbers and
// the date field as a date-time cell, and a "Statistics" sheet with the statistics table.
// Returns the reason when it failed, else empty.
QString writeSpanXlsx(const LogSpan& span, const std::vector<int>& devices,
                      const SpanStatistics& statistics, const QString& outPath);

} // namespace kt7
