#include "viewer/AlarmSpans.h"

#include "chart/DeviceColours.h"
#include "dates/DateTimeField.h"
#include "statistics/RowKeys.h"
#include "text/NumberText.h"
#include "viewer/LogChart.h"

#include <QHeaderView>

namespace kt7 {

namespace {
constexpr int ShownRows = 4; // more scroll
}

AlarmSpans::AlarmSpans(LogChart& chart, const QLocale& locale, QWidget* parent)
    : QTableWidget(0, 6, parent), chart(chart), locale(locale) {
    setObjectName(QStringLiteral("Alarms"));
    setHorizontalHeaderLabels(
        {tr("Device"), tr("Alarm"), tr("Limit"), tr("Raised"), tr("Ended"), tr("Extreme")});
    setToolTip(tr("Choose an alarm to put cursors A and B on its span"));
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    setMaximumHeight(horizontalHeader()->sizeHint().height() +
                     ShownRows * verticalHeader()->defaultSectionSize() + 2 * frameWidth());
    hide();
    chart.addLayer(QStringLiteral("alarms"), chart.layer(QStringLiteral("main")),
                   QCustomPlot::limBelow);
    layer = chart.layer(QStringLiteral("alarms"));
    connect(this, &QTableWidget::cellClicked, this, &AlarmSpans::choose);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int before) {
        if (row != before)
            choose(row);
    });
}

void AlarmSpans::read(const QString& recordPath) {
    AlarmRecordRead read = readAlarmRecordFile(recordPath);
    if (read.alarms == alarms && read.problem == readProblem)
        return;
    alarms = std::move(read.alarms);
    readProblem = read.problem;
    fill();
}

QString AlarmSpans::timeText(const QDateTime& time, const QString& none) const {
    // The wall-clock time where it was recorded, as the log shows its rows.
    return time.isValid() ? dateTimeField(QDateTime(time.date(), time.time()), locale) : none;
}

void AlarmSpans::fill() {
    const QSignalBlocker quiet(this); // no alarm is chosen by filling the table
    setRowCount(static_cast<int>(alarms.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const RecordedAlarm& alarm = alarms[static_cast<std::size_t>(row)];
        const QString limit = numberText(alarm.limit);
        const QString name = chart.deviceGraphs()[alarm.device]->valueAxis()->label().trimmed();
        const QString cells[] = {name.isEmpty() ? tr("Device %1").arg(alarm.device + 1) : name,
                                 alarmKindName(alarm.kind),
                                 alarm.kind == AlarmKind::Silent ? tr("%1 s").arg(limit) : limit,
                                 timeText(alarm.raisedAt, tr("before this log")),
                                 timeText(alarm.endedAt, tr("not ended")),
                                 alarm.extreme ? numberText(*alarm.extreme) : QString()};
        for (int column = 0; column < columnCount(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column == 0)
                item->setForeground(deviceColour(alarm.device));
            setItem(row, column, item);
        }
    }
    resizeColumnsToContents();
    setVisible(!alarms.empty());
}

std::optional<std::pair<double, double>> AlarmSpans::spanKeys(int row) const {
    const LogRows& rows = chart.rows();
    const std::span<const double> keys = chart.timeAxis() ? rows.seconds : rows.sampleNumbers;
    const RecordedAlarm& alarm = alarms.at(static_cast<std::size_t>(row));
    const auto from = keyAtSample(rows.sampleNumbers, keys, alarm.sampleAtRaise);
    if (!from)
        return std::nullopt;
    // Open: it lasts to the end of the log.
    const double to =
        alarm.ended() ? *keyAtSample(rows.sampleNumbers, keys, alarm.sampleAtEnd) : keys.back();
    return std::minmax(*from, to);
}

void AlarmSpans::redraw() {
    for (QCPItemRect* shade : shading)
        chart.removeItem(shade);
    shading.clear();
    for (int row = 0; row < static_cast<int>(alarms.size()); ++row) {
        const auto span = spanKeys(row);
        const int device = alarms[static_cast<std::size_t>(row)].device;
        if (!span || !chart.deviceGraphs()[device]->visible())
            continue;
        auto* shade = new QCPItemRect(&chart);
        shade->setLayer(layer);
        shade->setSelectable(false);
        // Over the full height: Y in fractions of the plot, whatever the device's axis.
        for (QCPItemPosition* corner : {shade->topLeft, shade->bottomRight}) {
            corner->setAxes(chart.xAxis, chart.yAxis);
            corner->setTypeX(QCPItemPosition::ptPlotCoords);
            corner->setTypeY(QCPItemPosition::ptAxisRectRatio);
        }
        shade->topLeft->setCoords(span->first, 0);
        shade->bottomRight->setCoords(span->second, 1);
        QColor colour = deviceColour(device);
        colour.setAlpha(40);
        shade->setBrush(colour);
        // An edge of its own, so a span of a single row still shows.
        colour.setAlpha(110);
        shade->setPen(QPen(colour, 1));
        shading.push_back(shade);
    }
}

void AlarmSpans::choose(int row) {
    if (row < 0 || row >= static_cast<int>(alarms.size()))
        return;
    if (const auto span = spanKeys(row))
        emit chosen(span->first, span->second);
}

} // namespace kt7
