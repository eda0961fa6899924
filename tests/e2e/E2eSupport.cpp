#include "E2eSupport.h"

#include <QFile>

namespace e2e {

CsvText readCsv(const QString& path) {
    CsvText csv;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return csv;
    const QByteArray all = file.readAll();
    qsizetype start = 0;
    for (qsizetype end = all.indexOf("\r\n"); end >= 0; end = all.indexOf("\r\n", start)) {
        csv.lines.append(all.sliced(start, end - start));
        start = end + 2;
    }
    csv.tail = all.sliced(start);
    for (const QByteArray& line : std::as_const(csv.lines))
        csv.bareLineFeed = csv.bareLineFeed || line.contains('\n') || line.contains('\r');
    return csv;
}

int wholeDataRows(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return std::max(0, int(file.readAll().count("\r\n")) - 3);
}

qint64 thousandths(const QByteArray& number, bool* ok) {
    return qRound64(number.toDouble(ok) * 1000.0);
}

QString checkDataRows(const QList<QByteArray>& rows) {
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QList<QByteArray> fields = rows[r].split(',');
        const QString where =
            QStringLiteral("data row %1 \"%2\": ").arg(r + 1).arg(QString::fromLatin1(rows[r]));
        if (fields.size() != 10)
            return where + QStringLiteral("%1 fields instead of 10").arg(fields.size());
        if (fields[0] != QByteArray::number(r + 1))
            return where + QStringLiteral("sample number is not %1").arg(r + 1);
        if (fields[1].trimmed().isEmpty())
            return where + QStringLiteral("no date and time");
        bool number = false;
        thousandths(fields[2], &number);
        if (!number)
            return where + QStringLiteral("device 1 holds no number");
        for (int f = 3; f < 10; ++f)
            if (!fields[f].isEmpty())
                return where + QStringLiteral("a device without a link has a value");
    }
    return {};
}

QString checkRowsFollowSent(const QList<QByteArray>& rows, const QString& sentLog,
                            const QByteArray& linkValue, QList<kt7test::SentLine>* after) {
    const QList<kt7test::SentLine> sent = kt7test::readSentLog(sentLog, 1);
    qsizetype linked = -1;
    for (qsizetype i = 0; i < sent.size(); ++i)
        if (!sent[i].dropped && thousandths(sent[i].value) == thousandths(linkValue))
            linked = i;
    if (linked < 0)
        return QStringLiteral("the linked value %1 is not in the sent log")
            .arg(QString::fromLatin1(linkValue));
    const QList<kt7test::SentLine> following = sent.mid(linked + 1);
    if (after)
        *after = following;
    for (const kt7test::SentLine& line : following)
        if (line.dropped)
            return QStringLiteral("the simulator dropped %1").arg(QString::fromLatin1(line.value));
    if (following.size() < rows.size())
        return QStringLiteral("the log holds more rows than lines were sent");
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QByteArray logged = rows[r].split(',').value(2);
        if (thousandths(logged) != thousandths(following[r].value))
            return QStringLiteral("row %1 holds %2, the instrument sent %3")
                .arg(r + 1)
                .arg(QString::fromLatin1(logged), QString::fromLatin1(following[r].value));
    }
    return {};
}

QString checkDeviceColumn(const QList<QByteArray>& rows, int device, const QString& sentLog) {
    const QList<kt7test::SentLine> sent = kt7test::readSentLog(sentLog, device);
    qsizetype next = 0;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QList<QByteArray> fields = rows[r].split(',');
        if (fields.size() != 10 || fields[0] != QByteArray::number(r + 1))
            return QStringLiteral("data row %1 \"%2\" is not the next whole row")
                .arg(r + 1)
                .arg(QString::fromLatin1(rows[r]));
        const QByteArray cell = fields[device + 1];
        if (cell.isEmpty())
            continue;
        const qint64 value = thousandths(cell);
        while (next < sent.size() && thousandths(sent[next].value) != value)
            ++next;
        if (next == sent.size())
            return QStringLiteral("device %1, row %2: %3 was not sent after the reading before")
                .arg(device)
                .arg(r + 1)
                .arg(QString::fromLatin1(cell));
        ++next;
    }
    return {};
}

} // namespace e2e
