#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <optional>
#include <string>

namespace kt7 {

// What the decimal scanner accepts beyond an optional sign, digits with an optional point and
// fraction (at least one digit), and an optional exponent with at least one digit.
struct DecimalSyntax {
    QStringView exponentLetters; // the letters that introduce an exponent
    bool wholeText;              // nothing may follow the number (else: the rest is ignored)
};

// Received readings: E exponents only, the piece is one number.
inline constexpr DecimalSyntax readingSyntax{u"eE", true};
// Set-up file fields: E or D exponents, the field is one number.
inline constexpr DecimalSyntax setupFieldSyntax{u"eEdD", true};
// Typed values: E or D exponents, reading stops where the number does; a letter with no exponent
// digits after it is left unread.
inline constexpr DecimalSyntax leadingNumberSyntax{u"eEdD", false};

// The number at the start of the text rewritten for std::from_chars (no plus sign, exponent 'e'),
// or nothing when the text does not start with one or, for a whole-text syntax, holds more.
// Blanks are the caller's: this scanner takes none.
std::optional<std::string> scanDecimal(QStringView text, DecimalSyntax syntax);
std::optional<std::string> scanDecimal(QByteArrayView text, DecimalSyntax syntax);

} // namespace kt7
