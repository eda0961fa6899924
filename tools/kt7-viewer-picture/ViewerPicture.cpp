// kt7-viewer-picture LOG.csv OUT.png [A B [DEVICES [ALARM]]]: opens the log in the viewer with X
// as time, puts cursors A and B at those fractions of the plot's width (0.3 and 0.7 unless given),
// leaves only the devices listed (say 1,2,3) checked in the legend, shows the statistics of the
// span and saves the window as it would be on screen. With ALARM (from 1) the cursors stand on the
// span of that row of the alarms table instead, chosen as a click would (the log's _alarms.csv).
#include "interaction/ChartInteraction.h"
#include "measure/ChartMeasuring.h"
#include "measure/MeasureCursors.h"
#include "measure/MeasurePanel.h"
#include "platform/core/StandardErrorMessages.h"
#include "platform/widgets/QtFileDialogs.h"
#include "viewer/AlarmSpans.h"
#include "viewer/DeviceLegend.h"
#include "viewer/LogChart.h"
#include "viewer/LogViewer.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QPixmap>
#include <cstdio>

namespace {

double fraction(const QStringList& args, int index, double otherwise) {
    bool ok = false;
    const double value = args.value(index).toDouble(&ok);
    return ok && value >= 0.0 && value <= 1.0 ? value : otherwise;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: kt7-viewer-picture LOG.csv OUT.png [A B [DEVICES [ALARM]]]\n");
        return 2;
    }
    kt7::QtFileDialogs dialogs;
    kt7::StandardErrorMessages messages;
    kt7::LogViewer viewer(args[1], dialogs, messages);
    viewer.resize(1400, 800);
    viewer.show();
    if (viewer.isLoading()) {
        QEventLoop loop;
        QObject::connect(&viewer, &kt7::LogViewer::loaded, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // Room for the alarms table, so the chart keeps its height.
    if (!viewer.alarms()->isHidden())
        viewer.resize(1400, 800 + viewer.alarms()->maximumHeight());
    // X as time, so the read-out gives the span as a duration too.
    for (QCheckBox* box : viewer.findChildren<QCheckBox*>())
        if (box->text() == kt7::LogViewer::tr("X as time"))
            box->setChecked(true);
    if (args.size() > 5) {
        const QStringList shown = args[5].split(u',');
        for (int d = 0; d < kt7::DeviceCount; ++d)
            if (auto* box =
                    viewer.legend()->findChild<QCheckBox*>(QStringLiteral("Legend(%1)").arg(d)))
                box->setChecked(shown.contains(QString::number(d + 1)));
    }
    QApplication::processEvents();
    kt7::LogChart& chart = *viewer.chart();
    kt7::ChartMeasuring& measuring = *viewer.tools()->measuring();
    const QRect area = chart.axisRect()->rect();
    const auto at = [&](double f) {
        return QPointF(area.left() + f * area.width(), area.center().y());
    };
    const int alarm = args.value(6).toInt() - 1;
    if (alarm >= 0 && alarm < viewer.alarms()->rowCount()) {
        viewer.alarms()->setCurrentCell(alarm, 0);
    } else {
        measuring.cursors()->placeAtPixel(kt7::MeasureCursors::A, at(fraction(args, 3, 0.3)));
        measuring.cursors()->placeAtPixel(kt7::MeasureCursors::B, at(fraction(args, 4, 0.7)));
    }
    measuring.panel()->setStatisticsShown(true);
    measuring.refresh();
    chart.replot();
    QApplication::processEvents();
    if (!viewer.grab().save(args[2])) {
        std::fprintf(stderr, "kt7-viewer-picture: could not write %s\n", qPrintable(args[2]));
        return 1;
    }
    // The count through Qt, not printf: no desktop's number format reaches it.
    std::fputs(
        qPrintable(QStringLiteral("wrote %1 (%2 rows)\n").arg(args[2]).arg(viewer.rowCount())),
        stdout);
    return 0;
}
