#include "chart/LimitLines.h"

#include <qcustomplot.h>

namespace kt7 {

LimitLines::LimitLines(QCustomPlot& plot, const std::array<QCPGraph*, DeviceCount>& graphs)
    : QObject(&plot), plot(plot), graphs(graphs) {}

void LimitLines::setLimits(const AlarmSettings& settings) {
    bool any = false;
    for (int d = 0; d < DeviceCount; ++d) {
        for (QCPItemStraightLine* line : lines[d])
            plot.removeItem(line);
        lines[d].clear();
        const DeviceLimits& limits = settings.devices[d];
        for (const std::optional<double>& at : {limits.high, limits.low}) {
            if (!at)
                continue;
            auto* line = new QCPItemStraightLine(&plot);
            line->setPen(QPen(graphs[d]->pen().color(), 2, Qt::DashLine));
            line->setSelectable(false);
            for (QCPItemPosition* end : {line->point1, line->point2})
                end->setAxes(graphs[d]->keyAxis(), graphs[d]->valueAxis());
            line->point1->setCoords(0, *at);
            line->point2->setCoords(1, *at);
            lines[d] << line;
            any = true;
        }
    }
    // Which devices show can change between any two replots; the check is a few flags per line.
    disconnect(following);
    if (any)
        following = connect(&plot, &QCustomPlot::beforeReplot, this, &LimitLines::followTraces);
    followTraces();
    plot.replot(QCustomPlot::rpQueuedReplot);
}

void LimitLines::followTraces() {
    for (int d = 0; d < DeviceCount; ++d) {
        const bool shown = graphs[d]->visible() && (!shows || shows(d));
        for (QCPItemStraightLine* line : lines[d])
            line->setVisible(shown);
    }
}

} // namespace kt7
