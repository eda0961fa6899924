#pragma once

#include <QtGlobal>
#include <optional>
#include <span>
#include <utility>

namespace kt7 {

// Lookups in the keys of a log's rows as the chart holds them: in key order, rows without a key
// (a time that could not be read, NaN) last, where no lookup finds them.

// The key of the row nearest to a key; the earlier row on a tie. Empty without rows.
std::optional<double> nearestRowKey(std::span<const double> keys, double key);

// The rows [first, end) whose key lies in [low, high].
std::pair<std::size_t, std::size_t> rowsBetweenKeys(std::span<const double> keys, double low,
                                                    double high);

// The index of the first row with exactly this key.
std::optional<std::size_t> rowOfKey(std::span<const double> keys, double key);

// The key of the last row whose sample number is at most this one: the row a logger had written
// when it told something. The first row's key when none is; empty without rows. Sample numbers
// need not be in key order (time keys of a clock set back).
std::optional<double> keyAtSample(std::span<const double> sampleNumbers,
                                  std::span<const double> keys, double sample);

} // namespace kt7
