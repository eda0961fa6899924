#include "alarms/AlarmRecord.h"

#include "text/NumberText.h"

#include <QSaveFile>
#include <algorithm>

namespace kt7 {

namespace {

QByteArray numberField(std::optional<double> value) {
    return value ? numberText(*value).toLatin1() : QByteArray();
}

QByteArray sampleField(qint32 sample) {
    return sample > 0 ? QByteArray::number(sample) : QByteArray();
}

QByteArray dateField(const QDateTime& time) {
    return offsetTimeText(time).toLatin1();
}

} // namespace

QString AlarmRecord::pathBeside(const QString& logPath) {
    const qsizetype folderEnd =
        std::max(logPath.lastIndexOf(QLatin1Char('/')), logPath.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = logPath.lastIndexOf(QLatin1Char('.'));
    return (dot > folderEnd + 1 ? logPath.left(dot) : logPath) + QStringLiteral("_alarms.csv");
}

const char* AlarmRecord::header() {
    return "device,kind,limit,raised at,ended at,extreme value,sample at raise,sample at end\r\n";
}

std::array<std::array<int, AlarmKindCount>, DeviceCount> AlarmRecord::noneOpen() {
    std::array<std::array<int, AlarmKindCount>, DeviceCount> none;
    for (auto& kinds : none)
        kinds.fill(-1);
    return none;
}

QString AlarmRecord::add(const AlarmEvent& event, qint32 sample) {
    if (event.device < 0 || event.device >= DeviceCount)
        return {};
    int& open = openRows[event.device][static_cast<int>(event.kind)];
    if (event.state == AlarmState::Raised) {
        open = static_cast<int>(rows.size());
        rows.push_back(
            {event.device, event.kind, event.limit, event.time, {}, event.extreme, sample, 0});
    } else {
        // An alarm raised before this record began gets a row of its end alone.
        if (open < 0)
            rows.push_back({event.device, event.kind, event.limit, {}, {}, {}, 0, 0});
        Row& row = open < 0 ? rows.back() : rows[static_cast<std::size_t>(open)];
        row.endedAt = event.time;
        row.extreme = event.extreme;
        row.sampleAtEnd = sample;
        open = -1;
    }
    return write();
}

QByteArray AlarmRecord::rowText(const Row& row) {
    return QByteArray::number(row.device + 1) + ',' + alarmKindName(row.kind).data() + ',' +
           numberText(row.limit).toLatin1() + ',' + dateField(row.raisedAt) + ',' +
           dateField(row.endedAt) + ',' + numberField(row.extreme) + ',' +
           sampleField(row.sampleAtRaise) + ',' + sampleField(row.sampleAtEnd) + "\r\n";
}

QString AlarmRecord::write() {
    QByteArray text = header();
    for (const Row& row : rows)
        text += rowText(row);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
        return out.errorString();
    return {};
}

} // namespace kt7
