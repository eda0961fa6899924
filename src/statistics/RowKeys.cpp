#include "statistics/RowKeys.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kt7 {

namespace {

// The rows with a key: those before the first NaN.
std::span<const double> keyed(std::span<const double> keys) {
    const auto end =
        std::lower_bound(keys.begin(), keys.end(), std::numeric_limits<double>::quiet_NaN(),
                         [](double k, double) { return !std::isnan(k); });
    return keys.first(static_cast<std::size_t>(end - keys.begin()));
}

} // namespace

std::optional<double> nearestRowKey(std::span<const double> all, double key) {
    const std::span<const double> keys = keyed(all);
    if (keys.empty() || std::isnan(key))
        return std::nullopt;
    const auto after = std::lower_bound(keys.begin(), keys.end(), key);
    if (after == keys.end())
        return keys.back();
    if (after != keys.begin() && key - *(after - 1) <= *after - key)
        return *(after - 1);
    return *after;
}

std::pair<std::size_t, std::size_t> rowsBetweenKeys(std::span<const double> all, double low,
                                                    double high) {
    const std::span<const double> keys = keyed(all);
    const auto first = std::lower_bound(keys.begin(), keys.end(), low);
    const auto end = std::upper_bound(first, keys.end(), high);
    return {static_cast<std::size_t>(first - keys.begin()),
            static_cast<std::size_t>(end - keys.begin())};
}

std::optional<std::size_t> rowOfKey(std::span<const double> all, double key) {
    const std::span<const double> keys = keyed(all);
    const auto it = std::lower_bound(keys.begin(), keys.end(), key);
    if (it == keys.end() || *it != key)
        return std::nullopt;
    return static_cast<std::size_t>(it - keys.begin());
}

std::optional<double> keyAtSample(std::span<const double> sampleNumbers,
                                  std::span<const double> keys, double sample) {
    if (keys.empty())
        return std::nullopt;
    std::optional<std::size_t> row;
    for (std::size_t r = 0; r < sampleNumbers.size(); ++r)
        if (sampleNumbers[r] <= sample && (!row || sampleNumbers[r] > sampleNumbers[*row]))
            row = r;
    return keys[row.value_or(0)];
}

} // namespace kt7
