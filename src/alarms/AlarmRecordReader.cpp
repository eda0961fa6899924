#include "alarms/AlarmRecordReader.h"

#include "alarms/AlarmRecord.h"
#include "text/StrictDecimal.h"

#include <QFile>
#include <QFileInfo>

namespace kt7 {

namespace {

constexpr int FieldCount = 8;

std::optional<AlarmKind> kindNamed(const QByteArray& name) {
    for (const AlarmKind kind : {AlarmKind::High, AlarmKind::Low, AlarmKind::Silent})
        if (name == alarmKindName(kind))
            return kind;
    return std::nullopt;
}

// Empty is none (0); else digits only.
std::optional<qint32> sampleOf(const QByteArray& field) {
    if (field.isEmpty())
        return 0;
    bool ok = false;
    const qint32 sample = field.toInt(&ok);
    return ok && field.front() != '+' && field.front() != '-' ? std::optional(sample)
                                                              : std::nullopt;
}

// Empty is none; else ISO 8601 with its offset from UTC.
std::optional<QDateTime> timeOf(const QByteArray& field) {
    if (field.isEmpty())
        return QDateTime();
    const QDateTime time = QDateTime::fromString(QString::fromLatin1(field), Qt::ISODate);
    return time.isValid() ? std::optional(time) : std::nullopt;
}

// Why the row's fields are no alarm, or empty when they are one.
QByteArray readRow(const QList<QByteArray>& fields, RecordedAlarm& alarm) {
    if (fields.size() != FieldCount)
        return "does not have the record's 8 fields";
    bool ok = false;
    alarm.device = fields[0].toInt(&ok) - 1;
    if (!ok || fields[0].startsWith('+') || alarm.device < 0 || alarm.device >= DeviceCount)
        return "names no device from 1 to 8";
    const auto kind = kindNamed(fields[1]);
    if (!kind)
        return "has a kind that is not high, low or silent";
    alarm.kind = *kind;
    const auto limit = strictToDouble(fields[2]);
    const auto raised = timeOf(fields[3]);
    const auto ended = timeOf(fields[4]);
    const auto extreme = strictToDouble(fields[5]);
    if (!limit || (!fields[5].isEmpty() && !extreme))
        return "does not hold a number (with a point for decimals)";
    if (!raised || !ended)
        return "does not hold an ISO 8601 date and time";
    const auto atRaise = sampleOf(fields[6]);
    const auto atEnd = sampleOf(fields[7]);
    if (!atRaise || !atEnd)
        return "does not hold a sample number";
    if (!ended->isValid() && *atEnd > 0)
        return "has a sample at end but no end";
    if (ended->isValid() && *atEnd > 0 && *atEnd < *atRaise)
        return "ends before it was raised";
    alarm.limit = *limit;
    alarm.raisedAt = *raised;
    alarm.endedAt = *ended;
    alarm.extreme = extreme;
    alarm.sampleAtRaise = *atRaise;
    alarm.sampleAtEnd = *atEnd;
    return {};
}

} // namespace

AlarmRecordRead readAlarmRecordText(const QByteArray& text, const QString& fileName) {
    const auto problem = [&fileName](qsizetype number, const QByteArray& line,
                                     const QByteArray& why) {
        return AlarmRecordRead{{},
                               QStringLiteral("%1 line %2: \"%3\" %4")
                                   .arg(fileName, QString::number(number), QString::fromUtf8(line),
                                        QString::fromUtf8(why))};
    };
    const QList<QByteArray> lines = text.split('\n');
    if (lines.front().trimmed() != QByteArray(AlarmRecord::header()).trimmed())
        return problem(1, lines.front().trimmed(), "is not the header of an alarm record");
    AlarmRecordRead read;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue; // the end of the last line
        RecordedAlarm alarm;
        const QByteArray why = readRow(line.split(','), alarm);
        if (!why.isEmpty())
            return problem(i + 1, line, why);
        read.alarms.push_back(alarm);
    }
    return read;
}

AlarmRecordRead readAlarmRecordFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const QString name = info.fileName();
    // A pipe would block the window in its read.
    if (!info.isFile())
        return {{}, QStringLiteral("%1: not a regular file").arg(name)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("%1: %2").arg(name, file.errorString())};
    return readAlarmRecordText(file.readAll(), name);
}

} // namespace kt7
