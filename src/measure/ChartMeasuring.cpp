#include "measure/ChartMeasuring.h"

#include "measure/MeasureCursors.h"
#include "measure/MeasurePanel.h"
#include "measure/SourceStatistics.h"

#include <QMenu>
#include <QTimer>
#include <qcustomplot.h>

namespace kt7 {

ChartMeasuring::ChartMeasuring(QCustomPlot& plot, const std::array<QCPGraph*, DeviceCount>& graphs,
                               QCPLayer* layer, const MeasureSource& source)
    : QObject(&plot), plot(plot), graphs(graphs), source(source) {
    cursorLines = new MeasureCursors(plot, layer, source);
    measurePanel = new MeasurePanel(&plot);
    measurePanel->setAutoFillBackground(true);
    measurePanel->hide();
    connect(cursorLines, &MeasureCursors::moved, this, &ChartMeasuring::refresh);
    connect(measurePanel, &MeasurePanel::statisticsShownChanged, this, &ChartMeasuring::refresh);
    connect(&plot, &QCustomPlot::afterReplot, this, &ChartMeasuring::refreshSoon);
}

QSharedPointer<QCPGraphDataContainer> ChartMeasuring::graphData(int device) const {
    return graphs[device]->data();
}

void ChartMeasuring::setPanelFloating(bool on) {
    floating = on;
    measurePanel->setAutoFillBackground(on);
    refresh();
}

void ChartMeasuring::addMenuEntries(QMenu& menu, const QPointF& at) {
    MeasureCursors* cursors = cursorLines;
    menu.addAction(tr("Set cursor A here"), cursors,
                   [cursors, at] { cursors->placeAtPixel(MeasureCursors::A, at); });
    menu.addAction(tr("Set cursor B here"), cursors,
                   [cursors, at] { cursors->placeAtPixel(MeasureCursors::B, at); });
    menu.addAction(tr("Clear cursors"), cursors, &MeasureCursors::clear)
        ->setEnabled(cursors->anySet());
}

bool ChartMeasuring::spanIsBetweenCursors() const {
    const auto a = cursorLines->key(MeasureCursors::A);
    const auto b = cursorLines->key(MeasureCursors::B);
    return a && b && *a != *b;
}

std::pair<double, double> ChartMeasuring::span() const {
    if (spanIsBetweenCursors()) {
        const double a = *cursorLines->key(MeasureCursors::A);
        const double b = *cursorLines->key(MeasureCursors::B);
        return {std::min(a, b), std::max(a, b)};
    }
    const QCPRange shown = plot.xAxis->range();
    return {shown.lower, shown.upper};
}

CursorReadout ChartMeasuring::readout() const {
    return readCursors(source, DeviceCount, cursorLines->key(MeasureCursors::A),
                       cursorLines->key(MeasureCursors::B),
                       [this](int device) { return graphData(device); });
}

SpanStatistics ChartMeasuring::statistics() const {
    const auto [low, high] = span();
    return spanStatistics(source, DeviceCount, low, high,
                          [this](int device) { return graphData(device); });
}

void ChartMeasuring::refreshSoon() {
    if (refreshQueued || (floating && !cursorLines->anySet()))
        return;
    refreshQueued = true;
    QTimer::singleShot(0, this, [this] {
        refreshQueued = false;
        refresh();
    });
}

void ChartMeasuring::refresh() {
    if (floating) {
        measurePanel->setVisible(cursorLines->anySet());
        if (!cursorLines->anySet())
            return;
    }
    measurePanel->showReadout(readout());
    if (measurePanel->statisticsShown())
        measurePanel->showStatistics(statistics(), spanIsBetweenCursors()
                                                       ? tr("Statistics between the cursors")
                                                       : tr("Statistics of the visible range"));
    if (floating)
        placeFloatingPanel();
}

void ChartMeasuring::placeFloatingPanel() {
    const QRect area = plot.axisRect()->rect();
    measurePanel->adjustSize();
    const QSize size = measurePanel->sizeHint().boundedTo(area.size() - QSize(8, 8));
    measurePanel->setGeometry(area.left() + 4, area.bottom() - size.height() - 4, size.width(),
                              size.height());
    measurePanel->raise();
}

} // namespace kt7
