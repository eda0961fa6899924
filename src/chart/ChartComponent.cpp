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

} // namespace

ChartComponent::ChartComponent(QWidget* parent) : QCustomPlot(parent) {
    // Every paint fills the whole chart, so the window need not paint what lies below it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Only the selection rectangle, which this chart never shows, lives on QCustomPlot's own
    // overlay; a buffer of its own would be cleared and drawn on every replot for nothing.
    layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    // The devices' legend is a widget of its own; QCustomPlot's hidden one would still measure
    // the text of every entry on every replot.
    setAutoAddPlottableToLegend(false);
    const std::array<QCPAxis*, DeviceCount> yAxes = styleDeviceChart(*this);
    xAxis2->setBasePen(QPen(Qt::black));
    xAxis->setLabel(QStringLiteral("Sec"));
    xState_.axis = xAxis;
    xState_.limits = StartXLimits;
    yAxes[0]->grid()->setZeroLinePen(QPen(QColor(170, 170, 170), 0, Qt::DotLine));

    for (int d = 0; d < DeviceCount; ++d) {
        QCPGraph* graph = addGraph(xAxis, yAxes[d]);
        graph->setAdaptiveSampling(true);
        graph->setAntialiased(false);
        graphs_[d] = graph;
        AxisState& y = yStates_[d];
        y.axis = yAxes[d];
        y.device = d;
        y.limits = StartYLimits[d];
    }
    // After the traces, so graph(d) stays device d's trace.
    for (int d = 0; d < DeviceCount; ++d) {
        QCPGraph* dots = addGraph(xAxis, yAxes[d]);
        dots->setLineStyle(QCPGraph::lsNone);
        dots->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 3));
        loneDots_[d] = dots;
        colourPlot(d, deviceColour(d));
        colourAxis(*yAxes[d], deviceColour(d));
    }
    showAxis(xState_);
    for (AxisState& y : yStates_)
        showAxis(y);
    replot(rpQueuedReplot);
}

std::optional<int> ChartComponent::deviceOf(Numbered kind, int number) {
    const int device = number - (kind == Numbered::Plot ? 1 : yAxisOf(0));
    if (device < 0 || device >= DeviceCount)
        return std::nullopt;
    return device;
}

const ChartComponent::AxisState* ChartComponent::axisState(int axis) const {
    if (axis == XAxis)
        return &xState_;
    const auto device = deviceOf(Numbered::Axis, axis);
    return device ? &yStates_[*device] : nullptr;
}

ChartComponent::AxisState* ChartComponent::axisState(int axis) {
    return const_cast<AxisState*>(std::as_const(*this).axisState(axis));
}

QCPGraph* ChartComponent::graphAt(int plot) const {
    const auto device = deviceOf(Numbered::Plot, plot);
    return device ? graphs_[*device] : nullptr;
}

void ChartComponent::colourPlot(int device, const QColor& colour) {
    graphs_[device]->setPen(QPen(colour, 1));
    loneDots_[device]->setPen(QPen(colour, 1));
    loneDots_[device]->setBrush(colour);
}

void ChartComponent::setPlotColor(int plot, const QColor& colour) {
    if (const auto device = deviceOf(Numbered::Plot, plot)) {
        colourPlot(*device, colour);
        replot(rpQueuedReplot);
    }
}

QColor ChartComponent::plotColor(int plot) const {
    const QCPGraph* graph = graphAt(plot);
    return graph ? graph->pen().color() : QColor();
}

void ChartComponent::setAxisLabelColor(int axis, const QColor& colour) {
    if (AxisState* state = axisState(axis)) {
        colourAxis(*state->axis, colour);
        replot(rpQueuedReplot);
    }
}

QColor ChartComponent::axisLabelColor(int axis) const {
    const AxisState* state = axisState(axis);
    return state ? state->axis->tickLabelColor() : QColor();
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
    // While paused, points added after a newest point that lies well past the view's edge change
    // no pixel: the traces run off to that point, and its dot (if any) is clipped away.
    const double edge = xAxis->coordToPixel(xAxis->range().upper);
    const bool unseen = paused_ && nextKey_ - 1.0 > xAxis->range().upper &&
                        std::abs(xAxis->coordToPixel(nextKey_ - 1.0) - edge) > 4.0;
    const bool trims = std::any_of(graphs_.begin(), graphs_.end(), [this](const QCPGraph* graph) {
        return graph->data()->size() > historyCap_;
    });
    nextKey_ += rows;
    trimHistory();
    showAxis(xState_);
    if (!unseen || trims)
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
    // The lines-per-tick caption is set on every tick that brings data, mostly unchanged.
    AxisState* state = axisState(axis);
    if (state && state->axis->label() != caption) {
        state->axis->setLabel(caption);
        replot(rpQueuedReplot);
    }
}

QString ChartComponent::axisCaption(int axis) const {
    const AxisState* state = axisState(axis);
    return state ? state->axis->label() : QString();
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

std::optional<QCPRange> ChartComponent::valueRangeOfData(int device) const {
    bool found = false;
    const QCPRange range = graphs_[device]->getValueRange(found, QCP::sdBoth, xAxis->range());
    return found ? std::optional<QCPRange>(range) : std::nullopt;
}

void ChartComponent::rescaleAxis(int axis) {
    if (AxisState* state = axisState(axis))
        rescale(*state);
}

void ChartComponent::rescale(AxisState& state) {
    if (paused_) {
        state.refitPending = true;
        return;
    }
    const auto range = state.device ? valueRangeOfData(*state.device) : keyRangeOfData();
    if (!range)
        return;
    // Auto axes are refitted every tick; a fit that moves nothing needs no drawing.
    const QCPRange shown = state.axis->range();
    const bool reversed = state.axis->rangeReversed();
    state.limits = fittedLimits(range->lower, range->upper, state.limits);
    showAxis(state);
    if (state.axis->range() != shown || state.axis->rangeReversed() != reversed)
        replot(rpQueuedReplot);
}

void ChartComponent::setAxisMaximum(int axis, double value) {
    AxisState* state = axisState(axis);
    if (!state)
        return;
    state->refitPending = false;
    state->limits.maximum = value;
    showAxis(*state);
    replot(rpQueuedReplot);
}

void ChartComponent::setAxisMinimum(int axis, double value) {
    AxisState* state = axisState(axis);
    if (!state)
        return;
    state->refitPending = false;
    state->limits.minimum = value;
    showAxis(*state);
    replot(rpQueuedReplot);
}

double ChartComponent::axisMaximum(int axis) const {
    const AxisState* state = axisState(axis);
    return state ? state->limits.maximum : std::numeric_limits<double>::quiet_NaN();
}

double ChartComponent::axisMinimum(int axis) const {
    const AxisState* state = axisState(axis);
    return state ? state->limits.minimum : std::numeric_limits<double>::quiet_NaN();
}

void ChartComponent::showAxis(AxisState& state) {
    if (paused_)
        return;
    AxisLimits set = state.limits;
    if (!state.device) {
        // Limits with no width (an X-points text that is no number) would stop the strip chart
        // from following new points: it keeps scrolling with the last span it had.
        if (set.maximum - set.minimum > 0.0)
            lastXSpan_ = set.maximum - set.minimum;
        else if (set.maximum == set.minimum)
            set.maximum = set.minimum + lastXSpan_;
        set = stripWindow(set, newestKey());
    }
    showLimits(*state.axis, set);
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
    const auto bringBack = [this](AxisState& state) {
        if (std::exchange(state.refitPending, false))
            rescale(state);
        else
            showAxis(state);
    };
    // X first: a refit of a Y axis fits the data inside the live X window.
    bringBack(xState_);
    for (AxisState& y : yStates_)
        bringBack(y);
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
