#pragma once

#include "alarms/AlarmRecordReader.h"

#include <QLocale>
#include <QTableWidget>
#include <optional>
#include <utility>
#include <vector>

class QCPItemRect;
class QCPLayer;

namespace kt7 {

class LogChart;

// The alarms recorded beside a log (AlarmRecord): each one's span shaded on the chart in its
// device's colour, behind the traces, and listed in this table, which stays hidden while there
// is no alarm. Choosing a row tells its ends, for the cursors.
class AlarmSpans : public QTableWidget {
    Q_OBJECT

  public:
    AlarmSpans(LogChart& chart, const QLocale& locale, QWidget* parent = nullptr);

    // Reads the record (again): the table changes only with its rows; redraw() shades them.
    void read(const QString& recordPath);
    // Shades the spans over the chart's rows and X axis as they are now.
    void redraw();
    // Why the record could not be read; empty when it was, or when there is none.
    const QString& problem() const { return readProblem; }
    // The keys of an alarm's first and last row on the chart's X axis; empty without rows.
    std::optional<std::pair<double, double>> spanKeys(int row) const;
    const std::vector<QCPItemRect*>& shades() const { return shading; }

  signals:
    void chosen(double from, double to);

  private:
    void fill();
    void choose(int row);
    QString timeText(const QDateTime& time, const QString& none) const;

    LogChart& chart;
    QLocale locale;
    QCPLayer* layer = nullptr;
    QString readProblem;
    std::vector<RecordedAlarm> alarms;
    std::vector<QCPItemRect*> shading;
};

} // namespace kt7
