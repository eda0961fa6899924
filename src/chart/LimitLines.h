#pragma once

#include "acquisition/SampleBlock.h"
#include "alarms/AlarmSettings.h"

#include <QList>
#include <QObject>
#include <array>
#include <functional>

class QCPGraph;
class QCPItemStraightLine;
class QCustomPlot;

namespace kt7 {

// The alarm limits of each device as dashed lines in its colour on its Y axis. The lines are made
// when the limits change, never per tick; a device's lines show while its trace is visible and
// `shows` allows it. Without limits there is nothing to draw and nothing to check per replot.
class LimitLines : public QObject {
    Q_OBJECT
  public:
    LimitLines(QCustomPlot& plot, const std::array<QCPGraph*, DeviceCount>& graphs);

    void setShows(std::function<bool(int device)> shows) { this->shows = std::move(shows); }
    void setLimits(const AlarmSettings& settings);
    // High first, then low, as far as the device has them.
    const QList<QCPItemStraightLine*>& linesOf(int device) const { return lines[device]; }

  private:
    void followTraces();

    QCustomPlot& plot;
    std::array<QCPGraph*, DeviceCount> graphs;
    std::array<QList<QCPItemStraightLine*>, DeviceCount> lines;
    std::function<bool(int)> shows;
    QMetaObject::Connection following;
};

} // namespace kt7
