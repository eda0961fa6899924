#pragma once

#include "text/AsciiDigit.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

namespace kt7 {

// Walks a QLocale date or time pattern: quoted text and every character that is no letter make
// literal text, handed to literal() whole before the next field; a run of one repeated letter is
// a field, handed to field(letter, run length, position), which answers how many characters it
// took (at least the run) or 0 to refuse the pattern. False on a refusal or an unclosed quote.
inline bool
walkPattern(const QString& pattern, const std::function<void(const QString& text)>& literal,
            const std::function<qsizetype(QChar letter, qsizetype run, qsizetype at)>& field) {
    QString text;
    const auto endLiteral = [&] {
        if (!text.isEmpty())
            literal(text);
        text.clear();
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            const qsizetype close = pattern.indexOf(u'\'', i + 1);
            if (close < 0)
                return false;
            text += close == i + 1 ? QStringLiteral("'") : pattern.mid(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        if (!c.isLetter()) {
            text += c;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        endLiteral();
        const qsizetype taken = field(c, run, i);
        if (taken == 0)
            return false;
        i += taken;
    }
    endLiteral();
    return true;
}

// Reading a field's text: a literal must stand at `at` as it is; a number has exactly `digits`
// digits (2 or 4), or one or two for a one-letter field (digits 1). `at` moves past what was read.
inline bool takeLiteral(QByteArrayView text, qsizetype& at, QByteArrayView literal) {
    if (!text.sliced(at).startsWith(literal))
        return false;
    at += literal.size();
    return true;
}

inline std::optional<int> takeDigits(QByteArrayView text, qsizetype& at, int digits) {
    const qsizetype most = digits == 4 ? 4 : 2;
    int value = 0;
    qsizetype read = 0;
    while (read < most && at + read < text.size() && isAsciiDigit(text[at + read]))
        value = value * 10 + (text[at + read++] - '0');
    if (read == 0 || (digits > 1 && read != digits))
        return std::nullopt;
    at += read;
    return value;
}

} // namespace kt7
