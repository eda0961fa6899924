#include "acquisition/StreamReader.h"

#include "text/Windows1252.h"

#include <algorithm>

namespace kt7 {

QByteArray lineTerminator(const QString& unit) {
    // The unit label was decoded from the instrument's own bytes; match those bytes again.
    const QByteArray unitText = toWindows1252(unit);
    QByteArray terminator = " " + unitText;
    terminator.append(std::max<qsizetype>(0, 8 - unitText.size()), ' ');
    terminator.append("\r\n");
    return terminator;
}

QList<QByteArray> StreamReader::take(QByteArrayView received, const QString& unit) {
    if (skipLeadingLf && !received.isEmpty()) {
        if (received.front() == '\n')
            received = received.sliced(1);
        skipLeadingLf = false;
    }
    text.append(received);

    const QByteArray terminator = lineTerminator(unit);
    QList<QByteArray> pieces;
    qsizetype start = 0;
    for (qsizetype end; (end = text.indexOf(terminator, start)) >= 0;
         start = end + terminator.size())
        pieces.append(text.sliced(start, end - start));
    if (!pieces.isEmpty()) {
        if (startLost)
            pieces.front().clear();
        startLost = false;
        text.remove(0, start);
    }
    dropOldestBeyondCapacity();
    return pieces;
}

void StreamReader::restartAfterLink(const QByteArray& linkText) {
    const qsizetype lastCr = linkText.lastIndexOf('\r');
    skipLeadingLf = false;
    if (lastCr < 0) {
        // No line end seen: where the next line starts is unknown until the next terminator.
        text = linkText;
        startLost = true;
        dropOldestBeyondCapacity();
        return;
    }
    text = linkText.sliced(lastCr + 1);
    startLost = false;
    if (text.startsWith('\n'))
        text.remove(0, 1);
    else if (text.isEmpty())
        skipLeadingLf = true;
    dropOldestBeyondCapacity();
}

void StreamReader::dropOldestBeyondCapacity() {
    if (text.size() <= Capacity)
        return;
    text.remove(0, text.size() - Capacity);
    startLost = true;
}

} // namespace kt7
