#include "acquisition/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kt7 {

namespace {

void dropTrailingZeros(std::string& digits) {
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
}

} // namespace

QString numberTextWithPrecision(double value, int significantDigits) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    if (value == 0.0)
        return QStringLiteral("0");

    // %e rounds to the wanted significant digits and tells the exponent after rounding.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significantDigits - 1, value);
    const std::string text(buffer);
    const std::size_t ePos = text.find('e');
    const bool negative = text[0] == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (text[i] != '.')
            digits.push_back(text[i]);
    const int exponent = std::atoi(text.c_str() + ePos + 1);
    dropTrailingZeros(digits);

    std::string out = negative ? "-" : "";
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
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += exp;
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
