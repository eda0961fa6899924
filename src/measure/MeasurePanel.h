#pragma once

#include "measure/CursorReadout.h"
#include "statistics/SpanStatistics.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kt7 {

// Shows what the cursors read (per device the value at A, at B and B - A, and the span) and the
// statistics table of the span, which the user shows and hides; "Copy" puts the statistics on
// the clipboard as tab-separated text.
class MeasurePanel : public QWidget {
    Q_OBJECT

  public:
    explicit MeasurePanel(QWidget* parent = nullptr);

    void showReadout(const CursorReadout& readout);
    void showStatistics(const SpanStatistics& statistics, const QString& what);
    void setStatisticsShown(bool shown);
    bool statisticsShown() const;
    const SpanStatistics& statistics() const { return shownStatistics; }
    void copyStatistics() const;

    QTableWidget* readoutTable() const { return readout; }
    QTableWidget* statisticsTable() const { return table; }
    QString spanText() const;

  signals:
    void statisticsShownChanged(bool shown);

  private:
    void fitHeight(QTableWidget* table) const;

    QLabel* span = nullptr;
    QPushButton* statisticsButton = nullptr;
    QPushButton* copyButton = nullptr;
    QTableWidget* readout = nullptr;
    QTableWidget* table = nullptr;
    SpanStatistics shownStatistics;
    bool cursorsSet = false;
};

} // namespace kt7
