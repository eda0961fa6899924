#include "acquisition/LatestReading.h"

#include "text/NumberFromText.h"
#include "text/Windows1252.h"

namespace kt7 {

LatestReading parseLatestReading(const QByteArray& text) {
    const qsizetype lastCr = text.lastIndexOf('\r');
    if (lastCr < 0)
        return {};
    // lastIndexOf treats -1 as "from the end", so a CR at the very start needs its own case.
    const qsizetype previousCr = lastCr == 0 ? -1 : text.lastIndexOf('\r', lastCr - 1);
    QByteArrayView line = QByteArrayView(text).sliced(previousCr + 1, lastCr - previousCr - 1);
    // The LF of the previous line's CR LF is not part of this line's first field.
    if (line.startsWith('\n'))
        line = line.sliced(1);

    const qsizetype firstBlank = line.indexOf(' ');
    if (firstBlank <= 0)
        return {};
    const QByteArrayView afterBlank = line.sliced(firstBlank + 1);
    const qsizetype secondBlank = afterBlank.indexOf(' ');
    const QByteArrayView unit = secondBlank < 0 ? afterBlank : afterBlank.first(secondBlank);
    return {true, numberFromText(QString::fromLatin1(line.first(firstBlank))),
            fromWindows1252(unit)};
}

} // namespace kt7
