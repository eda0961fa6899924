#pragma once

#include <QtGlobal>
#include <optional>
#include <span>

namespace kt7 {

// Lookups in the keys of a log's rows, in file order. Keys normally rise (sample numbers, the
// time of each row); a clock set back breaks that, and the lookups then scan instead of halving.

// The key of the row nearest to a key; the earlier row on a tie. Empty without rows.
std::optional<double> nearestRowKey(std::span<const double> keys, double key);

// Rows whose key lies in [low, high].
qint64 rowsBetweenKeys(std::span<const double> keys, double low, double high);

// The index of the first row with exactly this key.
std::optional<std::size_t> rowOfKey(std::span<const double> keys, double key);

} // namespace kt7
