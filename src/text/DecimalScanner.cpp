#include "text/DecimalScanner.h"

#include "text/AsciiDigit.h"

namespace kt7 {

namespace {

char16_t unit(QChar c) {
    return c.unicode();
}
char16_t unit(char c) {
    return static_cast<unsigned char>(c);
}

template <typename View> std::optional<std::string> scan(View text, DecimalSyntax syntax) {
    std::string out;
    qsizetype i = 0;
    const auto at = [&](qsizetype index) { return index < text.size() ? unit(text[index]) : 0; };
    const auto digits = [&] {
        const qsizetype start = i;
        for (; isAsciiDigit(at(i)); ++i)
            out.push_back(static_cast<char>(at(i)));
        return i - start;
    };
    if (at(i) == u'+' || at(i) == u'-') {
        if (at(i) == u'-')
            out.push_back('-');
        ++i;
    }
    qsizetype mantissaDigits = digits();
    if (at(i) == u'.') {
        out.push_back('.');
        ++i;
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (syntax.exponentLetters.contains(QChar(at(i)))) {
        const qsizetype letter = i;
        const std::size_t mantissaEnd = out.size();
        out.push_back('e');
        ++i;
        if (at(i) == u'+' || at(i) == u'-')
            out.push_back(static_cast<char>(at(i++)));
        if (digits() == 0) { // "1e" and "1e+" end before the letter
            i = letter;
            out.resize(mantissaEnd);
        }
    }
    if (syntax.wholeText && i != text.size())
        return std::nullopt;
    return out;
}

} // namespace

std::optional<std::string> scanDecimal(QStringView text, DecimalSyntax syntax) {
    return scan(text, syntax);
}

std::optional<std::string> scanDecimal(QByteArrayView text, DecimalSyntax syntax) {
    return scan(text, syntax);
}

} // namespace kt7
