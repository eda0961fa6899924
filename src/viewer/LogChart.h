#pragma once

#include "acquisition/SampleBlock.h"
#include "logfile/LogReader.h"
#include "statistics/ReadingStatistics.h"

#include <QString>
#include <array>
#include <qcustomplot.h>

namespace kt7 {

// The plot of a saved log: eight traces, a Y axis per device in the device colours, X as sample
// number or as wall-clock time. An empty cell is no point: a device's readings are joined across
// the rows where it had none.
//
// The log is held once, as its columns of doubles: a million rows of eight devices take 80 MB,
// where QCustomPlot points and a copy of the keys took 144 MB. A trace is drawn from the rows in
// view and a margin around them, built when the view leaves that margin. A whole log zoomed out is
// millions of points; drawing them all would take far longer than a frame. When more points fall
// on a pixel column than a bucket holds, each trace is drawn from the lowest and highest reading
// of every bucket instead: the same picture, a fraction of the points. Two levels of buckets
// (32 and 512 points) keep both a zoomed-out and a half-zoomed view cheap.
class LogChart : public QCustomPlot {
    Q_OBJECT

  public:
    static constexpr int BucketSize = 32; // points per bucket of the first level
    static constexpr int Levels = 2;
    // Up to this many rows in view, the read-out reads every one; beyond, a row per few pixels.
    static constexpr std::size_t ReadoutRows = 20'000;
    // From this many rows on, the buckets are built in two threads.
    static constexpr std::size_t ParallelFromRows = 100'000;

    explicit LogChart(QWidget* parent = nullptr);

    void setDevices(const std::array<QString, DeviceCount>& labels,
                    const std::array<QString, DeviceCount>& units);
    // Keys are the sample numbers, or with time the seconds of the date field.
    void setTimeAxis(bool time);
    bool timeAxis() const { return timeKeys; }

    // Takes the rows over as the chart's data (no copy), or adds them after those it has.
    void setRows(LogRows&& rows);
    void appendRows(LogRows&& rows);
    void clearRows() { setRows({}); }
    // Every row shown, in key order.
    const LogRows& rows() const { return data; }

    // X to all the data, each Y axis to its device's data.
    void showAll();

    const std::array<QCPGraph*, DeviceCount>& deviceGraphs() const { return graphs; }
    qsizetype pointCount(int device) const { return counts[device]; }
    // The device's points in view for a read-out: every row in view while they are few, else
    // rows spread evenly over the view; the values are the logged ones, never bucket extremes.
    QSharedPointer<QCPGraphDataContainer> points(int device) const;
    // Every logged reading of the device with a key in [low, high], and the nearest row beyond
    // either end: what statistics and cursors read, never the reduced set that is drawn.
    QSharedPointer<QCPGraphDataContainer> pointsBetween(int device, double low, double high) const;
    // The statistics of the device's logged readings with a key in [low, high], read straight
    // from the columns.
    ReadingStatistics statisticsBetween(int device, double low, double high) const;
    // True while a trace is drawn from its buckets rather than from every point.
    bool drawsBuckets(int device) const { return graphs[device]->data() != detail[device]; }

  private:
    const LogColumn& keys() const { return timeKeys ? data.seconds : data.sampleNumbers; }
    void dataChanged();
    void rebuildBuckets();
    void chooseDetail();
    std::pair<std::size_t, std::size_t> rowsInView() const;

    std::array<QCPGraph*, DeviceCount> graphs{};
    std::array<QCPAxis*, DeviceCount> yAxes{};
    LogRows data;
    std::array<qsizetype, DeviceCount> counts{};
    // Every point of a device in a range of rows: the view and its margins.
    std::array<QSharedPointer<QCPGraphDataContainer>, DeviceCount> detail;
    std::array<std::pair<std::size_t, std::size_t>, DeviceCount> detailRows{};
    std::array<std::array<QSharedPointer<QCPGraphDataContainer>, Levels>, DeviceCount> buckets;
    // The read-out's points and the rows and step they were taken with.
    mutable std::array<QSharedPointer<QCPGraphDataContainer>, DeviceCount> readout;
    mutable std::array<std::size_t, 3> readoutRows{};
    bool timeKeys = false;
};

} // namespace kt7
