#include "logfile/EightBitText.h"

namespace kt7 {

QByteArray toEightBitText(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() <= 0xFF) {
            out.append(static_cast<char>(c.unicode()));
            continue;
        }
        out.append('?');
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return out;
}

} // namespace kt7
