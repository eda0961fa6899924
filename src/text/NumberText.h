#pragma once

#include <QString>

namespace kt7 {

// The one number-to-text rule of the program: rounded to 15 significant digits for a 64-bit
// value and 7 for a 32-bit value; plain notation for decimal exponents from -4 to below the
// precision, otherwise m.mmmE+XX; "." as the point, never grouped, trailing zeros dropped.
QString numberText(double value);
QString numberText(float value);
QString numberTextWithPrecision(double value, int significantDigits);

} // namespace kt7
