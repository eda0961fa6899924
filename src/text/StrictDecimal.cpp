#include "acquisition/StrictDecimal.h"

#include "acquisition/DecimalConversion.h"

#include <cmath>
#include <string>

namespace kt7 {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The piece rewritten for from_chars (no plus sign, no blanks), or nothing when it is not one
// decimal number.
std::optional<std::string> checkedDecimal(QByteArrayView piece) {
    qsizetype begin = 0;
    qsizetype end = piece.size();
    while (begin < end && piece[begin] == ' ')
        ++begin;
    while (end > begin && piece[end - 1] == ' ')
        --end;

    std::string out;
    qsizetype i = begin;
    if (i < end && (piece[i] == '+' || piece[i] == '-')) {
        if (piece[i] == '-')
            out.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    for (; i < end && isDigit(piece[i]); ++i, ++mantissaDigits)
        out.push_back(piece[i]);
    if (i < end && piece[i] == '.') {
        out.push_back('.');
        for (++i; i < end && isDigit(piece[i]); ++i, ++mantissaDigits)
            out.push_back(piece[i]);
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < end && (piece[i] == 'e' || piece[i] == 'E')) {
        out.push_back('e');
        ++i;
        if (i < end && (piece[i] == '+' || piece[i] == '-'))
            out.push_back(piece[i++]);
        int exponentDigits = 0;
        for (; i < end && isDigit(piece[i]); ++i, ++exponentDigits)
            out.push_back(piece[i]);
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;
    return out;
}

} // namespace

std::optional<float> strictToFloat(QByteArrayView piece) {
    const auto text = checkedDecimal(piece);
    if (!text)
        return std::nullopt;
    const float value = decimalToFloat(*text);
    if (std::isinf(value))
        return std::nullopt;
    return value;
}

std::optional<double> strictToDouble(QByteArrayView piece) {
    const auto text = checkedDecimal(piece);
    if (!text)
        return std::nullopt;
    const double value = decimalToDouble(*text);
    if (std::isinf(value))
        return std::nullopt;
    return value;
}

} // namespace kt7
