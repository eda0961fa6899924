#include "text/StrictDecimal.h"

#include "text/DecimalConversion.h"
#include "text/DecimalScanner.h"

#include <cmath>

namespace kt7 {

namespace {

// The piece without the spaces around it, in from_chars form, or nothing when it is not one
// decimal number.
std::optional<std::string> checkedDecimal(QByteArrayView piece) {
    while (piece.startsWith(' '))
        piece = piece.sliced(1);
    while (piece.endsWith(' '))
        piece = piece.chopped(1);
    return scanDecimal(piece, readingSyntax);
}

template <typename T>
std::optional<T> strictTo(QByteArrayView piece, T (*convert)(std::string_view)) {
    const auto text = checkedDecimal(piece);
    if (!text)
        return std::nullopt;
    const T value = convert(*text);
    if (std::isinf(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<float> strictToFloat(QByteArrayView piece) {
    return strictTo<float>(piece, &decimalToFloat);
}

std::optional<double> strictToDouble(QByteArrayView piece) {
    return strictTo<double>(piece, &decimalToDouble);
}

} // namespace kt7
