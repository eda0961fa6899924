#include "text/LeftVal.h"

#include "text/NumberFromText.h"
#include "text/NumberText.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace kt7 {

namespace {

qsizetype firstNonZeroDigit(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] >= u'1' && text[i] <= u'9')
            return i;
    return text.size() - 1;
}

QString cutText(const QString& text, int n) {
    const qsizetype ePos = text.indexOf(u'E');
    if (ePos >= 0) {
        const QString mantissa = text.left(ePos);
        const qsizetype keep = std::max<qsizetype>(n, firstNonZeroDigit(mantissa) + 1);
        return mantissa.left(keep) + text.mid(ePos);
    }
    const qsizetype point = text.indexOf(u'.');
    const qsizetype integerEnd = point >= 0 ? point : text.size();
    const qsizetype keep = std::max({qsizetype{n}, integerEnd, firstNonZeroDigit(text) + 1});
    return text.left(keep);
}

} // namespace

double leftVal(double x, int n) {
    if (!std::isfinite(x))
        return x;
    return numberFromText(cutText(numberText(x), n));
}

double leftVal(float x, int n) {
    if (!std::isfinite(x))
        return x;
    return numberFromText(cutText(numberText(x), n));
}

} // namespace kt7
