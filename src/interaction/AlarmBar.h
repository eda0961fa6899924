#pragma once

#include "alarms/AlarmBoard.h"

#include <QMargins>
#include <QWidget>
#include <functional>

class QCustomPlot;

namespace kt7 {

// The alarm board drawn across the top of a chart, a line per entry: red while the alarm is
// active, grey once it ended; below them, in yellow, notes of what failed in telling the alarms.
// The plot makes room below it, and the bar hides when it has no line. A click on an ended entry
// acknowledges it; a click elsewhere on the bar acknowledges every ended one. Any click takes the
// notes away.
class AlarmBar : public QWidget {
    Q_OBJECT
  public:
    AlarmBar(QCustomPlot& plot, AlarmBoard& board,
             std::function<QString(const AlarmEvent&)> textOf);

    // Call after the board changed.
    void refresh();
    void addNote(const QString& text);
    QStringList lines() const;

  signals:
    void acknowledged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int lineHeight() const;

    QCustomPlot& plot;
    AlarmBoard& board;
    std::function<QString(const AlarmEvent&)> textOf;
    QMargins plotMargins; // the plot's own, without the bar
    QStringList notes;
};

} // namespace kt7
