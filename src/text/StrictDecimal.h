#pragma once

#include <QByteArrayView>
#include <optional>

namespace kt7 {

// Reads a received piece that must be one decimal number and nothing else: optional blanks around
// it, an optional sign, digits with an optional fraction, an optional E exponent. Any other text,
// or a value beyond the target type's range, gives no value (so infinity and NaN never come in).
std::optional<float> strictToFloat(QByteArrayView piece);
std::optional<double> strictToDouble(QByteArrayView piece);

} // namespace kt7
