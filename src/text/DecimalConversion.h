#pragma once

#include <string_view>

namespace kt7 {

// Converts decimal text that has already been checked for the form [-]digits[.digits][e[+-]digits]
// (no plus sign, at least one digit). A value too large for T gives +-infinity, one too small gives
// a signed zero, so callers decide what an out-of-range number means to them.
float decimalToFloat(std::string_view text);
double decimalToDouble(std::string_view text);

} // namespace kt7
