#include "setup/SetupValue.h"

#include "text/DecimalScanner.h"
#include "text/NumberText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kt7 {

namespace {

std::optional<qint16> roundToInt16(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double whole = std::nearbyint(value); // default rounding mode: a half goes to even
    if (whole < -32768.0 || whole > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(whole);
}

} // namespace

std::optional<double> readPlainNumber(QStringView text) {
    const std::optional<std::string> syntax = scanDecimal(text.trimmed(), setupFieldSyntax);
    if (!syntax)
        return std::nullopt;
    double value = 0;
    const char* end = syntax->data() + syntax->size();
    const auto [ptr, error] = std::from_chars(syntax->data(), end, value);
    if (error != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint16> toInt16(const SetupValue& value) {
    switch (value.kind()) {
    case SetupValue::Kind::Empty:
        return qint16(0);
    case SetupValue::Kind::Boolean:
        return qint16(*value.booleanValue() ? -1 : 0);
    case SetupValue::Kind::Number:
        return roundToInt16(*value.numberValue());
    case SetupValue::Kind::Text:
        if (const std::optional<double> number = readPlainNumber(*value.textValue()))
            return roundToInt16(*number);
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<bool> toBoolean(const SetupValue& value) {
    switch (value.kind()) {
    case SetupValue::Kind::Empty:
        return false;
    case SetupValue::Kind::Boolean:
        return *value.booleanValue();
    case SetupValue::Kind::Number:
        return *value.numberValue() != 0.0;
    case SetupValue::Kind::Text: {
        const QString text = value.textValue()->trimmed();
        if (text.compare(u"True", Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(u"False", Qt::CaseInsensitive) == 0)
            return false;
        if (const std::optional<double> number = readPlainNumber(text))
            return *number != 0.0;
        return std::nullopt;
    }
    }
    return std::nullopt;
}

QString toText(const SetupValue& value) {
    switch (value.kind()) {
    case SetupValue::Kind::Empty:
        return {};
    case SetupValue::Kind::Boolean:
        return *value.booleanValue() ? QStringLiteral("True") : QStringLiteral("False");
    case SetupValue::Kind::Number:
        return numberText(*value.numberValue());
    case SetupValue::Kind::Text:
        return *value.textValue();
    }
    return {};
}

} // namespace kt7
