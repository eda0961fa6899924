#include "chart/ChartComponent.h"

#include "chart/DeviceAxes.h"
#include "chart/DeviceColours.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace kt7 {

namespace {

constexpr AxisLimits StartXLimits{0.0, 400.0};
constexpr std::array<AxisLimits, DeviceCount> StartYLimits{{{-1000.0, 1000.0},
                                                            {-500.0, 500.0},
                                                            {-1000.0, 1000.0},
                                                            {-800.0, 800.0},
                                                            {-2000.0, 2000.0},
                                                            {-60.0, 60.0},
                                                            {-500.0, 500.0},
                                                            {-500.0, 500.0}}};
constexpr int XAxisNumber = 1;

} // namespace

ChartComponent::ChartComponent(QWidget* parent) : QCustomPlot(parent) {
    yAxes_ = styleDeviceChart(*this);
    xAxis2->setBasePen(QPen(Qt::black));
    xAxis->setLabel(QStringLiteral("Sec"));
    limits_[0] = StartXLimits;
    yAxes_[0]->grid()->setZeroLinePen(QPen(QColor(170, 170, 170), 0, Qt::DotLine));

    for (int d = 0; d < DeviceCount; ++d) {
        QCPGraph* graph = addGraph(xAxis, yAxes_[d]);
        graph->setAdaptiveSampling(true);
        graph->setAntialiased(false);
        graphs_[d] = graph;
        limits_[d + 1] = StartYLimits[d];
    }
    // After the traces, so graph(d) stays device d's trace.
    for (int d = 0; d < DeviceCount; ++d) {
        QCPGraph* dots = addGraph(xAxis, yAxes_[d]);
        dots->setLineStyle(QCPGraph::lsNone);
        dots->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 3));
        loneDots_[d] = dots;
        setPlotColor(d + 1, deviceColour(d));
        setAxisLabelColor(d + 2, deviceColour(d));
    }
    for (int axis = 1; axis <= AxisCount; ++axis)
        showAxis(axis);
}

QCPAxis* ChartComponent::axisAt(int axis) const {
    if (axis == XAxisNumber)
        return xAxis;
    if (axis >= 2 && axis <= AxisCount)
        return yAxes_[axis - 2];
    return nullptr;
}

QCPGraph* ChartComponent::graphAt(int plot) const {
    return plot >= 1 && plot <= PlotCount ? graphs_[plot - 1] : nullptr;
}

void ChartComponent::setPlotColor(int plot, const QColor& colour) {
    if (QCPGraph* graph = graphAt(plot)) {
        graph->setPen(QPen(colour, 1));
        loneDots_[plot - 1]->setPen(QPen(colour, 1));
        loneDots_[plot - 1]->setBrush(colour);
        replot(rpQueuedReplot);
    }
}

QColor ChartComponent::plotColor(int plot) const {
    const QCPGraph* graph = graphAt(plot);
    return graph ? graph->pen().color() : QColor();
}

void ChartComponent::setAxisLabelColor(int axis, const QColor& colour) {
    if (QCPAxis* target = axisAt(axis)) {
        colourAxis(*target, colour);
        replot(rpQueuedReplot);
    }
}

QColor ChartComponent::axisLabelColor(int axis) const {
    const QCPAxis* target = axisAt(axis);
    return target ? target->tickLabelColor() : QColor();
}

void ChartComponent::appendBlock(const SampleBlock& block) {
    const int rows = block.rowCount();
    if (rows <= 0)
        return;
    QVector<double> keys(rows);
    for (int r = 0; r < rows; ++r)
        keys[r] = nextKey_ + r;
    QVector<double> values(rows);
    for (int d = 0; d < DeviceCount; ++d) {
        const auto& column = block.columns[static_cast<std::size_t>(d)];
        for (int r = 0; r < rows; ++r) {
            const auto cell = r < static_cast<int>(column.size()) ? column[r] : std::nullopt;
            values[r] = cell.value_or(std::numeric_limits<double>::quiet_NaN());
        }
        // Keys only grow, so the data stays sorted and drawing only visits the visible keys.
        graphs_[d]->addData(keys, values, true);
        appendColumn(d, column, rows);
    }
    nextKey_ += rows;
    trimHistory();
    showAxis(XAxisNumber);
    replot(rpQueuedReplot);
}

// A reading that starts a run gets a dot at once; the dot goes again when the next cell extends
// the run into a line, so only lone readings keep one.
void ChartComponent::appendColumn(int device, const std::vector<std::optional<double>>& column,
                                  int rows) {
    QCPGraph* dots = loneDots_[device];
    bool& filled = lastCellFilled_[device];
    bool& alone = lastCellAlone_[device];
    for (int r = 0; r < rows; ++r) {
        const double key = nextKey_ + r;
        const bool has = r < static_cast<int>(column.size()) && column[r].has_value();
        if (has && !filled)
            dots->addData(key, *column[r]);
        else if (has && alone)
            dots->data()->remove(key - 1);
        alone = has && !filled;
        filled = has;
    }
}

void ChartComponent::setAxisCaption(int axis, const QString& caption) {
    if (QCPAxis* target = axisAt(axis)) {
        target->setLabel(caption);
        replot(rpQueuedReplot);
    }
}

QString ChartComponent::axisCaption(int axis) const {
    const QCPAxis* target = axisAt(axis);
    return target ? target->label() : QString();
}

std::optional<double> ChartComponent::newestKey() const {
    if (nextKey_ <= 0.0)
        return std::nullopt;
    return nextKey_ - 1.0;
}

std::optional<QCPRange> ChartComponent::keyRangeOfData() const {
    std::optional<QCPRange> range;
    for (const QCPGraph* graph : graphs_) {
        const auto data = graph->data();
        if (data->isEmpty())
            continue;
        const double first = data->constBegin()->key;
        const double last = (data->constEnd() - 1)->key;
        range = range ? QCPRange(std::min(range->lower, first), std::max(range->upper, last))
                      : QCPRange(first, last);
    }
    return range;
}

std::optional<QCPRange> ChartComponent::valueRangeOfData(int plot) const {
    bool found = false;
    const QCPRange range = graphs_[plot - 1]->getValueRange(found, QCP::sdBoth, xAxis->range());
    return found ? std::optional<QCPRange>(range) : std::nullopt;
}

void ChartComponent::rescaleAxis(int axis) {
    if (!axisAt(axis))
        return;
    if (paused_) {
        refitPending_[axis - 1] = true;
        return;
    }
    const auto range = axis == XAxisNumber ? keyRangeOfData() : valueRangeOfData(axis - 1);
    if (!range)
        return;
    AxisLimits& limits = limits_[axis - 1];
    limits = fittedLimits(range->lower, range->upper, limits);
    showAxis(axis);
    replot(rpQueuedReplot);
}

void ChartComponent::setAxisMaximum(int axis, double value) {
    if (!axisAt(axis))
        return;
    refitPending_[axis - 1] = false;
    limits_[axis - 1].maximum = value;
    showAxis(axis);
    replot(rpQueuedReplot);
}

void ChartComponent::setAxisMinimum(int axis, double value) {
    if (!axisAt(axis))
        return;
    refitPending_[axis - 1] = false;
    limits_[axis - 1].minimum = value;
    showAxis(axis);
    replot(rpQueuedReplot);
}

double ChartComponent::axisMaximum(int axis) const {
    return axisAt(axis) ? limits_[axis - 1].maximum : std::numeric_limits<double>::quiet_NaN();
}

double ChartComponent::axisMinimum(int axis) const {
    return axisAt(axis) ? limits_[axis - 1].minimum : std::numeric_limits<double>::quiet_NaN();
}

void ChartComponent::showAxis(int axis) {
    if (paused_)
        return;
    AxisLimits set = limits_[axis - 1];
    if (axis == XAxisNumber) {
        // Limits with no width (an X-points text that is no number) would stop the strip chart
        // from following new points: it keeps scrolling with the last span it had.
        if (set.maximum - set.minimum > 0.0)
            lastXSpan_ = set.maximum - set.minimum;
        else if (set.maximum == set.minimum)
            set.maximum = set.minimum + lastXSpan_;
        set = stripWindow(set, newestKey());
    }
    showLimits(*axisAt(axis), set);
}

void ChartComponent::pause() {
    if (paused_)
        return;
    paused_ = true;
    emit pausedChanged(true);
}

void ChartComponent::resumeLive() {
    if (!paused_)
        return;
    paused_ = false;
    // X first: a refit of a Y axis fits the data inside the live X window.
    for (int axis = 1; axis <= AxisCount; ++axis) {
        if (std::exchange(refitPending_[axis - 1], false))
            rescaleAxis(axis);
        else
            showAxis(axis);
    }
    replot(rpQueuedReplot);
    emit pausedChanged(false);
}

qsizetype ChartComponent::pointCount(int plot) const {
    const QCPGraph* graph = graphAt(plot);
    return graph ? graph->data()->size() : 0;
}

void ChartComponent::setHistoryCap(qsizetype points) {
    historyCap_ = std::max<qsizetype>(points, 1);
    trimHistory();
    replot(rpQueuedReplot);
}

void ChartComponent::trimHistory() {
    for (QCPGraph* graph : graphs_) {
        const auto data = graph->data();
        const qsizetype excess = data->size() - historyCap_;
        if (excess > 0)
            data->removeBefore((data->constBegin() + excess)->key);
    }
    for (int d = 0; d < DeviceCount; ++d)
        if (!graphs_[d]->data()->isEmpty())
            loneDots_[d]->data()->removeBefore(graphs_[d]->data()->constBegin()->key);
}

} // namespace kt7
