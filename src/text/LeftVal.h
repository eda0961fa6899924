#pragma once

namespace kt7 {

// Keeps at most n characters of a value's number text (7 digits for a 32-bit value, 15 for a
// 64-bit one) and reads the rest back. The cut never changes the order of magnitude: in plain
// notation the digits before the point and the first significant digit stay, in scientific
// notation only the mantissa is cut and the exponent stays. Infinity and NaN pass unchanged.
double leftVal(double x, int n);
double leftVal(float x, int n);

} // namespace kt7
