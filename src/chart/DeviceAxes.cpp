#include "chart/DeviceAxes.h"

#include <qcustomplot.h>

namespace kt7 {

namespace {
constexpr int DevicesPerSide = DeviceCount / 2;
} // namespace

std::array<QCPAxis*, DeviceCount> styleDeviceChart(QCustomPlot& plot) {
    // Text stays smooth; lines are drawn without antialiasing so replots stay cheap.
    plot.setNotAntialiasedElements(QCP::aePlottables | QCP::aeAxes | QCP::aeGrid);
    plot.setPlottingHint(QCP::phFastPolylines, true);
    plot.setBackground(Qt::white);
    styleCompactAxis(*plot.xAxis);
    plot.xAxis->ticker()->setTickCount(8);
    plot.xAxis->grid()->setPen(QPen(QColor(220, 220, 220), 0, Qt::DotLine));
    // The top axis only closes the frame.
    plot.xAxis2->setVisible(true);
    plot.xAxis2->setTicks(false);
    plot.xAxis2->setTickLabels(false);
    const std::array<QCPAxis*, DeviceCount> yAxes = createDeviceYAxes(*plot.axisRect());
    yAxes[0]->grid()->setVisible(true);
    yAxes[0]->grid()->setPen(QPen(QColor(220, 220, 220), 0, Qt::DotLine));
    // Room above the plot for the half of the top tick labels that sticks out.
    plot.axisRect()->setMinimumMargins(QMargins(2, 8, 2, 2));
    return yAxes;
}

std::array<QCPAxis*, DeviceCount> createDeviceYAxes(QCPAxisRect& rect) {
    std::array<QCPAxis*, DeviceCount> axes{};
    // QCustomPlot stacks the axes of a side from the plot outward in the order they were added.
    for (int inner = 0; inner < DevicesPerSide; ++inner) {
        const int leftDevice = DevicesPerSide - 1 - inner;
        const int rightDevice = DevicesPerSide + inner;
        axes[leftDevice] = inner == 0 ? rect.axis(QCPAxis::atLeft) : rect.addAxis(QCPAxis::atLeft);
        axes[rightDevice] =
            inner == 0 ? rect.axis(QCPAxis::atRight) : rect.addAxis(QCPAxis::atRight);
    }
    for (QCPAxis* axis : axes) {
        axis->setVisible(true);
        axis->grid()->setVisible(false);
        styleCompactAxis(*axis);
    }
    return axes;
}

void styleCompactAxis(QCPAxis& axis) {
    QFont font = axis.tickLabelFont();
    font.setPointSizeF(7.0);
    axis.setTickLabelFont(font);
    axis.setLabelFont(font);
    axis.setTickLabelPadding(2);
    axis.setLabelPadding(2);
    axis.setPadding(2);
    axis.setTickLengthIn(0);
    axis.setTickLengthOut(3);
    axis.setSubTickLengthIn(0);
    axis.setSubTickLengthOut(0);
    axis.ticker()->setTickCount(4);
}

void colourAxis(QCPAxis& axis, const QColor& colour) {
    axis.setTickLabelColor(colour);
    axis.setLabelColor(colour);
    axis.setBasePen(QPen(colour));
    axis.setTickPen(QPen(colour));
    axis.setSubTickPen(QPen(colour));
}

} // namespace kt7
