#pragma once

#include "alarms/AlarmEvent.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace kt7 {

// One row of the alarms beside a log (AlarmRecord), as the viewer reads it back.
struct RecordedAlarm {
    int device = 0; // 0 is device 1
    AlarmKind kind = AlarmKind::High;
    double limit = 0;
    QDateTime raisedAt; // invalid: raised before this file began
    QDateTime endedAt;  // invalid: still raised when the log ends
    std::optional<double> extreme;
    qint32 sampleAtRaise = 0; // the log's last row then; 0: none yet
    qint32 sampleAtEnd = 0;

    bool ended() const { return endedAt.isValid(); }
    bool operator==(const RecordedAlarm&) const = default;
};

struct AlarmRecordRead {
    std::vector<RecordedAlarm> alarms;
    QString problem; // the first line that could not be read; no alarms then
};

// fileName only names the file in the problem text. Numbers have a point whatever the desktop.
AlarmRecordRead readAlarmRecordText(const QByteArray& text, const QString& fileName);
// A missing file gives no alarms and no problem.
AlarmRecordRead readAlarmRecordFile(const QString& path);

} // namespace kt7
