#pragma once

#include "acquisition/SampleBlock.h"
#include "logfile/LogReader.h"

#include <QString>
#include <array>
#include <qcustomplot.h>

namespace kt7 {

using DevicePoints = std::array<QVector<QCPGraphData>, DeviceCount>;

// The plot of a saved log: eight traces, a Y axis per device in the device colours, X as sample
// number or as wall-clock time. An empty cell is no point: a device's readings are joined across
// the rows where it had none.
//
// A whole log zoomed out is millions of points; drawing them all would take far longer than a
// frame. When more points fall on a pixel column than a bucket holds, each trace is drawn from
// the lowest and highest reading of every bucket instead: the same picture, a fraction of the
// points. Two levels of buckets (32 and 512 points) keep both a zoomed-out and a half-zoomed
// view cheap.
class LogChart : public QCustomPlot {
    Q_OBJECT

  public:
    static constexpr int BucketSize = 32; // points per bucket of the first level
    static constexpr int Levels = 2;

    explicit LogChart(QWidget* parent = nullptr);

    void setDevices(const std::array<QString, DeviceCount>& labels,
                    const std::array<QString, DeviceCount>& units);
    void setTimeAxis(bool time);
    bool timeAxis() const { return timeKeys; }

    // Adds the rows' readings to the points, keyed by sample number or by seconds.
    static void collectPoints(const LogRows& rows, bool time, DevicePoints& points);
    // Replaces all points (no copy: the containers take the vectors over).
    void setPoints(DevicePoints&& points);
    void appendPoints(const DevicePoints& points);
    void clearPoints();

    // X to all the data, each Y axis to its device's data.
    void showAll();

    const std::array<QCPGraph*, DeviceCount>& deviceGraphs() const { return graphs; }
    qsizetype pointCount(int device) const { return full[device]->size(); }
    QSharedPointer<QCPGraphDataContainer> points(int device) const { return full[device]; }
    // True while a trace is drawn from its buckets rather than from every point.
    bool drawsBuckets(int device) const { return graphs[device]->data() != full[device]; }

  private:
    void rebuildBuckets();
    static QVector<QCPGraphData> extremesOf(const QCPGraphDataContainer& points);
    void chooseDetail();

    std::array<QCPGraph*, DeviceCount> graphs{};
    std::array<QCPAxis*, DeviceCount> yAxes{};
    std::array<QSharedPointer<QCPGraphDataContainer>, DeviceCount> full;
    std::array<std::array<QSharedPointer<QCPGraphDataContainer>, Levels>, DeviceCount> buckets;
    bool timeKeys = false;
};

} // namespace kt7
