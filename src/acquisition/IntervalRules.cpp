#include "acquisition/IntervalRules.h"

#include "text/StrictDecimal.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace kt7 {

namespace {

double roundHalfToEven(double x) {
    const double lower = std::floor(x);
    const double fraction = x - lower;
    if (fraction > 0.5)
        return lower + 1;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::optional<double> roundedNumber(const QString& text) {
    const auto value = strictToDouble(text.toLatin1());
    if (!value)
        return std::nullopt;
    return roundHalfToEven(*value);
}

} // namespace

std::optional<int> intervalSeconds(const QString& text) {
    const auto rounded = roundedNumber(text);
    if (!rounded || *rounded < 1 || *rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<int>(*rounded);
}

std::optional<QString> normalisedIntervalText(const QString& text) {
    const auto rounded = roundedNumber(text);
    if (!rounded || *rounded < std::numeric_limits<std::int32_t>::min() ||
        *rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    if (*rounded <= 1)
        return QStringLiteral("1");
    return std::nullopt;
}

} // namespace kt7
