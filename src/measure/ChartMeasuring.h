#pragma once

#include "acquisition/SampleBlock.h"
#include "measure/CursorReadout.h"
#include "measure/MeasureSource.h"
#include "statistics/SpanStatistics.h"

#include <QObject>
#include <array>
#include <utility>

class QCPGraph;
class QMenu;
class QPointF;
class QCPLayer;
class QCustomPlot;

namespace kt7 {

class MeasureCursors;
class MeasurePanel;

// Ties the cursors to the read-out and statistics panel: whenever a cursor moves, the view
// changes or the plot is drawn again, the panel shows what the cursors read and the statistics
// of the span between them, or of the visible range while the cursors do not enclose one.
class ChartMeasuring : public QObject {
    Q_OBJECT

  public:
    ChartMeasuring(QCustomPlot& plot, const std::array<QCPGraph*, DeviceCount>& graphs,
                   QCPLayer* layer, const MeasureSource& source);

    MeasureCursors* cursors() const { return cursorLines; }
    MeasurePanel* panel() const { return measurePanel; }

    // A floating panel sits over the plot's lower left corner while a cursor is set (the live
    // chart keeps its layout); otherwise the owner puts it in a layout of its own and shows it.
    void setPanelFloating(bool floating);

    // "Set cursor A here", "Set cursor B here" (at a pixel of the plot) and "Clear cursors".
    void addMenuEntries(QMenu& menu, const QPointF& at);

    // The keys the statistics cover, lowest first.
    std::pair<double, double> span() const;
    bool spanIsBetweenCursors() const;
    CursorReadout readout() const;
    SpanStatistics statistics() const;

    // Shows the read-out and the statistics now; refreshSoon does it once the events queued so
    // far are handled, so a drag that moves the view many times computes once per paint.
    void refresh();
    void refreshSoon();

  private:
    QSharedPointer<QCPGraphDataContainer> graphData(int device) const;
    void placeFloatingPanel();

    QCustomPlot& plot;
    std::array<QCPGraph*, DeviceCount> graphs;
    const MeasureSource& source;
    MeasureCursors* cursorLines = nullptr;
    MeasurePanel* measurePanel = nullptr;
    bool floating = true;
    bool refreshQueued = false;
};

} // namespace kt7
