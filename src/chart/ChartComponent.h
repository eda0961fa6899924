#pragma once

#include "acquisition/SampleBlock.h"
#include "chart/AxisLimits.h"

#include <QColor>
#include <QString>
#include <array>
#include <optional>
#include <qcustomplot.h>

namespace kt7 {

// The live chart: eight plots against one X axis and a Y axis per device.
// Axes are numbered 1 (X) and k + 1 (Y axis of plot k); plots 1..8 show devices 0..7.
// The X axis counts points and scrolls as a strip chart once the newest point passes its maximum.
class ChartComponent : public QCustomPlot {
    Q_OBJECT

  public:
    static constexpr int PlotCount = DeviceCount;
    static constexpr int AxisCount = DeviceCount + 1;
    static constexpr qsizetype DefaultHistoryCap = 1'000'000;
    static constexpr int XAxis = 1;
    static constexpr int yAxisOf(int device) { return device + 2; }

    explicit ChartComponent(QWidget* parent = nullptr);

    void setPlotColor(int plot, const QColor& colour);
    QColor plotColor(int plot) const;
    void setAxisLabelColor(int axis, const QColor& colour);
    QColor axisLabelColor(int axis) const;

    // Column d goes to plot d + 1, one point per row; an empty cell is a gap in the trace. A
    // reading with empty cells on both sides is drawn as a dot, so a device slower than the
    // others (a value in every other row) still shows.
    void appendBlock(const SampleBlock& block);

    void setAxisCaption(int axis, const QString& caption);
    QString axisCaption(int axis) const;

    // Fits the axis once to the data it shows; later appends leave the range alone.
    void rescaleAxis(int axis);

    void setAxisMaximum(int axis, double value);
    void setAxisMinimum(int axis, double value);
    // The limits last set, even those the axis cannot show as given.
    double axisMaximum(int axis) const;
    double axisMinimum(int axis) const;

    qsizetype pointCount(int plot) const;
    const std::array<QCPGraph*, PlotCount>& deviceGraphs() const { return graphs_; }
    // Older points beyond the cap are dropped, so memory stays bounded on long runs.
    void setHistoryCap(qsizetype points);
    qsizetype historyCap() const { return historyCap_; }

    // While paused the axes keep the ranges the user zoomed or panned to: appends, limits and
    // refits are recorded but shown only when the chart goes back to live.
    void pause();
    void resumeLive();
    bool isPaused() const { return paused_; }

  signals:
    void pausedChanged(bool paused);

  private:
    // One axis as the chart keeps it; the X axis belongs to no device.
    struct AxisState {
        QCPAxis* axis = nullptr;
        std::optional<int> device;
        AxisLimits limits;
        bool refitPending = false;
    };
    enum class Numbered { Plot, Axis };

    // The one place where the public numbers meet device indices: plot d + 1 and axis d + 2
    // show device d. Empty for the X axis and for numbers out of range.
    static std::optional<int> deviceOf(Numbered kind, int number);
    const AxisState* axisState(int axis) const;
    AxisState* axisState(int axis);
    QCPGraph* graphAt(int plot) const;

    void colourPlot(int device, const QColor& colour);
    void appendColumn(int device, const std::vector<std::optional<double>>& column, int rows);
    std::optional<double> newestKey() const;
    std::optional<QCPRange> keyRangeOfData() const;
    std::optional<QCPRange> valueRangeOfData(int device) const;
    void rescale(AxisState& state);
    void showAxis(AxisState& state);
    void trimHistory();

    AxisState xState_;
    std::array<AxisState, DeviceCount> yStates_{};
    std::array<QCPGraph*, DeviceCount> graphs_{};
    std::array<QCPGraph*, DeviceCount> loneDots_{};  // readings without a neighbour on either side
    std::array<bool, DeviceCount> lastCellFilled_{}; // whether a trace's newest cell has a value
    std::array<bool, DeviceCount> lastCellAlone_{};  // and whether it started its run
    double nextKey_ = 0.0;
    qsizetype historyCap_ = DefaultHistoryCap;
    double lastXSpan_ = 0.0; // the X span to keep scrolling with while the set limits have none
    bool paused_ = false;
};

} // namespace kt7
