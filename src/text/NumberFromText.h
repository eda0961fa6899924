#pragma once

#include <QString>

namespace kt7 {

// The lenient reading used for labels, tare and chart limits. Blanks, tabs and LF are skipped
// wherever they stand; then an optional sign, digits, an optional point and fraction, and an
// optional exponent (E or D, either case). Reading stops at the first character that does not fit
// and what was read so far counts; text without a number gives 0. "&H" and "&O" introduce a
// hexadecimal or octal whole number. A number beyond the 64-bit range gives +-infinity.
double numberFromText(const QString& text);

} // namespace kt7
