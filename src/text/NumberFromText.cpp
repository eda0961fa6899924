#include "text/NumberFromText.h"

#include "text/AsciiDigit.h"
#include "text/DecimalConversion.h"
#include "text/DecimalScanner.h"

namespace kt7 {

namespace {

bool isSkipped(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int v = -1;
    if (isAsciiDigit(u))
        v = u - u'0';
    else if (u >= u'a' && u <= u'f')
        v = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        v = u - u'A' + 10;
    return v >= 0 && v < base ? v : -1;
}

double readWholeNumber(QStringView digits, int base) {
    double value = 0;
    for (qsizetype i = 0, d; i < digits.size() && (d = digitValue(digits[i], base)) >= 0; ++i)
        value = value * base + d;
    return value;
}

} // namespace

double numberFromText(const QString& text) {
    QString significant = text;
    significant.removeIf(isSkipped);
    if (significant.startsWith(u'&')) {
        const QChar kind = significant.size() > 1 ? significant[1].toUpper() : QChar();
        if (kind != u'H' && kind != u'O')
            return 0;
        return readWholeNumber(QStringView(significant).sliced(2), kind == u'H' ? 16 : 8);
    }
    const std::optional<std::string> decimal = scanDecimal(significant, leadingNumberSyntax);
    return decimal ? decimalToDouble(*decimal) : 0;
}

} // namespace kt7
