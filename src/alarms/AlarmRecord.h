#pragma once

#include "acquisition/SampleBlock.h"
#include "alarms/AlarmEvent.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace kt7 {

// The alarms beside a log (KT7_LogData.csv: KT7_LogData_alarms.csv), one CSV row per alarm:
// written when it is raised, completed when it ends. Each change rewrites the small file through
// a temporary one renamed over it, so the file is whole whenever the program is killed. Like the
// log, which starts truncated, a record starts a new file.
class AlarmRecord {
  public:
    static QString pathBeside(const QString& logPath);
    static const char* header();

    explicit AlarmRecord(const QString& logPath) : file(pathBeside(logPath)) {}

    // sample: the number of the log's last row when the event was told (0: none yet), so a row
    // of the record finds its span in the log. Empty when the file holds the event; else why it
    // could not be written. The row stays and goes into the file with the next event.
    QString add(const AlarmEvent& event, qint32 sample);
    const QString& path() const { return file; }

  private:
    struct Row {
        int device = 0;
        AlarmKind kind = AlarmKind::High;
        double limit = 0;
        QDateTime raisedAt;
        QDateTime endedAt;
        std::optional<double> extreme;
        qint32 sampleAtRaise = 0;
        qint32 sampleAtEnd = 0;
    };
    static QByteArray rowText(const Row& row);
    QString write();

    QString file;
    std::vector<Row> rows;
    std::array<std::array<int, AlarmKindCount>, DeviceCount> openRows = noneOpen();
    static std::array<std::array<int, AlarmKindCount>, DeviceCount> noneOpen();
};

} // namespace kt7
