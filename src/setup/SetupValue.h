#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <variant>

namespace kt7 {

// One field as read from a set-up file: empty (nothing between the commas), a text, a number or
// a boolean. What a field becomes depends on how it was written, not on which control it feeds;
// the conversions below give each control the kind it needs.
class SetupValue {
  public:
    enum class Kind { Empty, Text, Number, Boolean };

    SetupValue() = default;
    static SetupValue text(QString value) { return SetupValue(Storage(std::move(value))); }
    static SetupValue number(double value) { return SetupValue(Storage(value)); }
    static SetupValue boolean(bool value) { return SetupValue(Storage(value)); }

    Kind kind() const { return static_cast<Kind>(storage.index()); }
    const QString* textValue() const { return std::get_if<QString>(&storage); }
    const double* numberValue() const { return std::get_if<double>(&storage); }
    const bool* booleanValue() const { return std::get_if<bool>(&storage); }

    bool operator==(const SetupValue&) const = default;

  private:
    using Storage = std::variant<std::monostate, QString, double, bool>;
    explicit SetupValue(Storage value) : storage(std::move(value)) {}
    Storage storage;
};

// A plain decimal number and nothing else apart from surrounding blanks: optional sign, digits
// with an optional point, optional exponent (E or D). Out of double range counts as not a number.
std::optional<double> readPlainNumber(QStringView text);

// To a 16-bit integer: fractions to the nearest whole number, a half to the even one; true is -1
// and false 0; an empty field 0; a text only when it reads as a plain number.
std::optional<qint16> toInt16(const SetupValue& value);
// Any non-zero number is true; a text must say True or False or be a plain number.
std::optional<bool> toBoolean(const SetupValue& value);
// Numbers in the program's 15-digit number text, booleans "True"/"False", texts as read.
QString toText(const SetupValue& value);

} // namespace kt7
