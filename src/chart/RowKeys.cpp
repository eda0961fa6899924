#include "chart/RowKeys.h"

#include <algorithm>
#include <cmath>

namespace kt7 {

namespace {

// NaN keys (a time that could not be read) sort nowhere; a log with them is scanned.
bool rising(std::span<const double> keys) {
    return std::is_sorted(keys.begin(), keys.end()) &&
           std::none_of(keys.begin(), keys.end(), [](double k) { return std::isnan(k); });
}

} // namespace

std::optional<double> nearestRowKey(std::span<const double> keys, double key) {
    if (keys.empty() || std::isnan(key))
        return std::nullopt;
    if (rising(keys)) {
        const auto after = std::lower_bound(keys.begin(), keys.end(), key);
        if (after == keys.end())
            return keys.back();
        if (after != keys.begin() && key - *(after - 1) <= *after - key)
            return *(after - 1);
        return *after;
    }
    std::optional<double> best;
    for (const double k : keys)
        if (!std::isnan(k) && (!best || std::abs(k - key) < std::abs(*best - key)))
            best = k;
    return best;
}

qint64 rowsBetweenKeys(std::span<const double> keys, double low, double high) {
    if (rising(keys))
        return std::upper_bound(keys.begin(), keys.end(), high) -
               std::lower_bound(keys.begin(), keys.end(), low);
    return std::count_if(keys.begin(), keys.end(), [=](double k) { return k >= low && k <= high; });
}

std::optional<std::size_t> rowOfKey(std::span<const double> keys, double key) {
    const auto it = rising(keys) ? std::lower_bound(keys.begin(), keys.end(), key)
                                 : std::find(keys.begin(), keys.end(), key);
    if (it == keys.end() || *it != key)
        return std::nullopt;
    return static_cast<std::size_t>(it - keys.begin());
}

} // namespace kt7
