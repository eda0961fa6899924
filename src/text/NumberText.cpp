#include "text/NumberText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kt7 {

namespace {

void dropTrailingZeros(std::string& digits) {
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
}

// The significant digits and decimal exponent of value rounded to the given digits. to_chars
// ignores the C library's locale, so the text never picks up a desktop's decimal comma.
struct RoundedDecimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

RoundedDecimal roundedDecimal(double value, int significantDigits) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::scientific, significantDigits - 1);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t ePos = text.find('e');
    RoundedDecimal out;
    out.negative = text.front() == '-';
    for (std::size_t i = out.negative ? 1 : 0; i < ePos; ++i)
        if (text[i] != '.')
            out.digits.push_back(text[i]);
    const char* exponentStart = text.data() + ePos + 1;
    if (*exponentStart == '+')
        ++exponentStart;
    std::from_chars(exponentStart, text.data() + text.size(), out.exponent);
    dropTrailingZeros(out.digits);
    return out;
}

std::string exponentText(int exponent) {
    std::string out = exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10)
        out.push_back('0');
    out += std::to_string(magnitude);
    return out;
}

} // namespace

QString numberTextWithPrecision(double value, int significantDigits) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    if (value == 0.0)
        return QStringLiteral("0");

    const RoundedDecimal rounded = roundedDecimal(value, significantDigits);
    const std::string& digits = rounded.digits;
    const int exponent = rounded.exponent;
    std::string out = rounded.negative ? "-" : "";
    if (exponent >= -4 && exponent < significantDigits) {
        if (exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        } else {
            const auto intCount = static_cast<std::size_t>(exponent + 1);
            if (digits.size() <= intCount) {
                out += digits;
                out.append(intCount - digits.size(), '0');
            } else {
                out += digits.substr(0, intCount);
                out += '.';
                out += digits.substr(intCount);
            }
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += exponentText(exponent);
    }
    return QString::fromLatin1(out.c_str());
}

QString numberText(double value) {
    return numberTextWithPrecision(value, 15);
}

QString numberText(float value) {
    return numberTextWithPrecision(static_cast<double>(value), 7);
}

} // namespace kt7
