#include "text/DecimalConversion.h"

#include "text/AsciiDigit.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace kt7 {

namespace {

// from_chars reports overflow and underflow alike; the decimal exponent of the leading digit tells
// them apart, since no underflow can have a leading digit at 10^0 or above.
bool leadingDigitAtOrAboveOne(std::string_view text) {
    std::size_t i = text.empty() || text[0] != '-' ? 0 : 1;
    long long magnitude = 0;
    bool seenSignificant = false;
    long long leadingFractionZeros = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        if (text[i] != '0')
            seenSignificant = true;
        if (seenSignificant)
            ++magnitude;
    }
    if (seenSignificant) {
        magnitude -= 1;
        if (i < text.size() && text[i] == '.')
            ++i;
        while (i < text.size() && isAsciiDigit(text[i]))
            ++i;
    } else {
        if (i < text.size() && text[i] == '.')
            ++i;
        for (; i < text.size() && text[i] == '0'; ++i)
            ++leadingFractionZeros;
        while (i < text.size() && isAsciiDigit(text[i]))
            ++i;
        magnitude = -(leadingFractionZeros + 1);
    }
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool negative = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            ++i;
        for (; i < text.size() && isAsciiDigit(text[i]); ++i)
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (text[i] - '0');
        if (negative)
            exponent = -exponent;
    }
    return magnitude + exponent >= 0;
}

template <typename T> T convert(std::string_view text) {
    T value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc::result_out_of_range)
        return value;
    const bool negative = !text.empty() && text[0] == '-';
    const T magnitude = leadingDigitAtOrAboveOne(text) ? std::numeric_limits<T>::infinity() : T{0};
    return negative ? -magnitude : magnitude;
}

} // namespace

float decimalToFloat(std::string_view text) {
    return convert<float>(text);
}

double decimalToDouble(std::string_view text) {
    return convert<double>(text);
}

} // namespace kt7
