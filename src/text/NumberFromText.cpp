#include "acquisition/NumberFromText.h"

#include "acquisition/DecimalConversion.h"

#include <string>

namespace kt7 {

namespace {

bool isSkipped(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The characters that count, with blanks, tabs and LF taken out.
class SignificantChars {
  public:
    explicit SignificantChars(const QString& text) : text(text) { skip(); }
    bool atEnd() const { return pos >= text.size(); }
    QChar peek() const { return atEnd() ? QChar() : text[pos]; }
    void advance() {
        ++pos;
        skip();
    }

  private:
    void skip() {
        while (pos < text.size() && isSkipped(text[pos]))
            ++pos;
    }
    const QString& text;
    qsizetype pos = 0;
};

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int v = -1;
    if (u >= u'0' && u <= u'9')
        v = u - u'0';
    else if (u >= u'a' && u <= u'f')
        v = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        v = u - u'A' + 10;
    return v >= 0 && v < base ? v : -1;
}

double readWholeNumber(SignificantChars& chars, int base) {
    double value = 0;
    for (int d; (d = digitValue(chars.peek(), base)) >= 0; chars.advance())
        value = value * base + d;
    return value;
}

void appendDigits(SignificantChars& chars, std::string& out) {
    for (; isDigit(chars.peek()); chars.advance())
        out.push_back(static_cast<char>(chars.peek().unicode()));
}

} // namespace

double numberFromText(const QString& text) {
    SignificantChars chars(text);
    if (chars.peek() == u'&') {
        chars.advance();
        const QChar kind = chars.peek().toUpper();
        if (kind != u'H' && kind != u'O')
            return 0;
        chars.advance();
        return readWholeNumber(chars, kind == u'H' ? 16 : 8);
    }

    std::string decimal;
    if (chars.peek() == u'-' || chars.peek() == u'+') {
        if (chars.peek() == u'-')
            decimal.push_back('-');
        chars.advance();
    }
    const std::size_t mantissaStart = decimal.size();
    appendDigits(chars, decimal);
    if (chars.peek() == u'.') {
        decimal.push_back('.');
        chars.advance();
        appendDigits(chars, decimal);
    }
    const bool hasDigit = decimal.find_first_of("0123456789", mantissaStart) != std::string::npos;
    if (!hasDigit)
        return 0;

    const QChar e = chars.peek().toUpper();
    if (e == u'E' || e == u'D') {
        chars.advance();
        std::string exponent = "e";
        if (chars.peek() == u'-' || chars.peek() == u'+') {
            exponent.push_back(static_cast<char>(chars.peek().unicode()));
            chars.advance();
        }
        const std::size_t before = exponent.size();
        appendDigits(chars, exponent);
        if (exponent.size() > before) // "1e" and "1e+" stop before the letter
            decimal += exponent;
    }
    return decimalToDouble(decimal);
}

} // namespace kt7
