#include "viewer/LogViewer.h"

#include "alarms/AlarmRecord.h"
#include "export/SpanExporter.h"
#include "interaction/ChartInteraction.h"
#include "logfile/CsvFormat.h"
#include "measure/ChartMeasuring.h"
#include "measure/MeasureCursors.h"
#include "measure/MeasurePanel.h"
#include "platform/FileDialogs.h"
#include "statistics/RowKeys.h"
#include "viewer/AlarmSpans.h"
#include "viewer/DeviceLegend.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace kt7 {

namespace {
constexpr qint64 ChunkBytes = 4 * 1024 * 1024;
constexpr int ProgressIntervalMs = 200;
} // namespace

LogViewer::LogViewer(const QString& path, FileDialogs& dialogs, MessageBoxes& messages,
                     QWidget* parent, const QLocale& locale)
    : QWidget(parent, Qt::Window), path(path), locale(locale), dialogs(dialogs),
      messages(messages) {
    setWindowTitle(QFileInfo(path).fileName());
    buildWindow();
    followTimer.setInterval(FollowIntervalMs);
    connect(&followTimer, &QTimer::timeout, this, &LogViewer::readNew);
    progressTimer.setInterval(ProgressIntervalMs);
    connect(&progressTimer, &QTimer::timeout, this, &LogViewer::showState);
    reader = std::make_unique<LogReader>(locale);
    load();
}

LogViewer* LogViewer::openWithDialog(FileDialogs& dialogs, MessageBoxes& messages,
                                     const QString& folder, QWidget* parent) {
    const QString chosen =
        dialogs.getOpenFileName({QStringLiteral("CSV Files (*.csv)|*.csv"), folder, "csv"});
    if (chosen.isEmpty())
        return nullptr;
    auto* viewer = new LogViewer(chosen, dialogs, messages, parent);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->show();
    return viewer;
}

// Cursors at any time, the panel under the chart, the legend's checks and the span exports.
void LogViewer::buildMeasuring() {
    interaction->setCursorsAlways(true);
    interaction->measuring()->setPanelFloating(false);
    connect(deviceLegend, &DeviceLegend::shownChanged, this, &LogViewer::showDevice);
    interaction->setMenuExtras([this](QMenu& menu) {
        menu.addAction(tr("Export span as CSV…"), this, [this] { exportSpan(false); });
        menu.addAction(tr("Export span as Excel workbook…"), this, [this] { exportSpan(true); });
    });
}

void LogViewer::showDevice(int device, bool shown) {
    QCPGraph* graph = plot->deviceGraphs()[device];
    graph->setVisible(shown);
    graph->valueAxis()->setVisible(shown);
    alarmSpans->redraw();
    plot->replot();
    interaction->measuring()->refresh();
}

// Cursors A and B on the alarm's ends, so the panel shows the statistics of its span.
void LogViewer::showAlarm(double from, double to) {
    ChartMeasuring& measuring = *interaction->measuring();
    measuring.cursors()->place(MeasureCursors::A, from);
    measuring.cursors()->place(MeasureCursors::B, to);
    measuring.panel()->setStatisticsShown(true);
}

// Labels and units from the header; a device with no reading in the whole file starts hidden.
void LogViewer::showLegend() {
    for (int d = 0; d < DeviceCount; ++d) {
        deviceLegend->setDevice(d, reader->labels()[d], reader->units()[d]);
        if (plot->pointCount(d) == 0)
            deviceLegend->setShown(d, false);
        const bool shown = deviceLegend->isShown(d);
        plot->deviceGraphs()[d]->setVisible(shown);
        plot->deviceGraphs()[d]->valueAxis()->setVisible(shown);
    }
}

std::span<const double> LogViewer::rowKeys() const {
    return plot->timeAxis() ? plot->rows().seconds : plot->rows().sampleNumbers;
}

void LogViewer::exportSpan(bool workbook) {
    const ChartMeasuring& measuring = *interaction->measuring();
    LogSpan span{path, locale, plot->timeAxis(), measuring.span().first, measuring.span().second};
    SpanExporter exporter(dialogs, messages);
    if (!workbook) {
        exporter.exportCsv(span);
        return;
    }
    const SpanStatistics statistics = measuring.statistics();
    std::vector<int> devices;
    for (const auto& device : statistics.devices)
        devices.push_back(device.device);
    exporter.exportXlsx(span, devices, statistics);
}

void LogViewer::buildWindow() {
    QVBoxLayout* layout = buildLayout();
    interaction = new ChartInteraction(*plot, plot->deviceGraphs(), dialogs, messages);
    interaction->setPausedText(tr("Zoomed: double-click to show all"));
    interaction->setExportFolder(QFileInfo(path).absolutePath());
    interaction->setReadoutSource(readoutSource());
    buildMeasuring();
    layout->addWidget(interaction->measuring()->panel());
    interaction->measuring()->panel()->show(); // the panel starts hidden, as it does when floating
    connectControls();
}

// The bar of checks and the row count, the note, the legend and the chart.
QVBoxLayout* LogViewer::buildLayout() {
    timeBox = new QCheckBox(tr("X as time"), this);
    timeBox->setObjectName(QStringLiteral("TimeAxis"));
    followBox = new QCheckBox(tr("Follow"), this);
    followBox->setObjectName(QStringLiteral("Follow"));
    followBox->setToolTip(tr("Read rows appended to the file once a second"));
    rowsLabel = new QLabel(this);
    noteLabel = new QLabel(this);
    noteLabel->setObjectName(QStringLiteral("Note"));
    noteLabel->setWordWrap(true);
    noteLabel->setStyleSheet(QStringLiteral("background: #fff4c8; padding: 3px;"));
    plot = new LogChart(this);
    deviceLegend = new DeviceLegend(this);
    alarmSpans = new AlarmSpans(*plot, locale, this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(timeBox);
    bar->addWidget(followBox);
    bar->addStretch();
    bar->addWidget(rowsLabel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(bar);
    layout->addWidget(noteLabel);
    layout->addWidget(deviceLegend);
    layout->addWidget(plot, 1);
    layout->addWidget(alarmSpans);
    resize(1100, 700);
    return layout;
}

// What the read-out, cursors and statistics read: the log's own rows, not the drawn points.
MeasureSource LogViewer::readoutSource() const {
    MeasureSource readout;
    readout.shows = [this](int device) {
        return plot->pointCount(device) > 0 && deviceLegend->isShown(device);
    };
    readout.name = [this](int device) {
        const QString label = reader->labels()[device];
        return label.isEmpty() ? tr("Device %1").arg(device + 1) : label;
    };
    readout.unit = [this](int device) { return reader->units()[device]; };
    readout.keyText = [this](double key) { return keyText(key); };
    readout.points = [this](int device) { return plot->points(device); };
    readout.pointsBetween = [this](int device, double low, double high) {
        return plot->pointsBetween(device, low, high);
    };
    readout.statisticsBetween = [this](int device, double low, double high) {
        return plot->statisticsBetween(device, low, high);
    };
    readout.timeKeys = [this] { return plot->timeAxis(); };
    readout.nearestRow = [this](double key) { return nearestRowKey(rowKeys(), key); };
    readout.rowsBetween = [this](double low, double high) {
        const auto [first, end] = rowsBetweenKeys(rowKeys(), low, high);
        return static_cast<qint64>(end - first);
    };
    readout.sampleAt = [this](double key) {
        const auto row = rowOfKey(rowKeys(), key);
        return row ? std::optional<double>(plot->rows().sampleNumbers[*row]) : std::nullopt;
    };
    return readout;
}

void LogViewer::connectControls() {
    connect(interaction, &ChartInteraction::viewMovedByUser, this, [this] {
        userMovedView = true;
        interaction->showPaused(true);
    });
    connect(interaction, &ChartInteraction::backToLiveRequested, this, [this] {
        showAllAgain();
        plot->replot();
    });
    connect(interaction, &ChartInteraction::openLogRequested, this, [this] {
        openWithDialog(dialogs, this->messages, QFileInfo(this->path).absolutePath(),
                       parentWidget());
    });
    connect(timeBox, &QCheckBox::toggled, this, &LogViewer::showTimeAxis);
    connect(alarmSpans, &AlarmSpans::chosen, this, &LogViewer::showAlarm);
    connect(followBox, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            readNew();
            followTimer.start();
        } else {
            followTimer.stop();
        }
    });
}

// Reads the file from the start: a small one at once, a large one in the background while the
// window shows how far it got.
void LogViewer::load() {
    readOffset = 0;
    openError.clear();
    fileGone = false;
    loader = std::make_unique<LogFileLoader>(path, locale);
    const QFileInfo file(path);
    if (!file.isFile() || file.size() < BackgroundFromBytes) {
        showLoaded(std::exchange(loader, nullptr)->load());
        return;
    }
    connect(loader.get(), &LogFileLoader::finished, this, [this] {
        // A loader replaced by a newer one has finished too: only the current one counts.
        if (loader && loader->isFinished())
            showLoaded(std::exchange(loader, nullptr)->take());
    });
    loader->start();
    progressTimer.start();
    showState();
}

void LogViewer::showLoaded(LoadedLog&& log) {
    progressTimer.stop();
    reader = std::move(log.reader);
    readOffset = log.bytesRead;
    openError = log.error;
    plot->setDevices(reader->labels(), reader->units());
    plot->setRows(std::move(log.rows));
    alarmSpans->read(AlarmRecord::pathBeside(path));
    showTimeAxis();
    emit loaded();
}

// Time keys need a readable date on every row; without, X stays the sample number.
void LogViewer::showTimeAxis() {
    if (loader)
        return; // applied when the rows arrive
    if (timeBox->isChecked() && !reader->timesReadable()) {
        const QSignalBlocker quiet(timeBox);
        timeBox->setChecked(false);
    }
    plot->setTimeAxis(timeBox->isChecked());
    showLegend();
    interaction->measuring()->cursors()->clear(); // keys of the other axis mean nothing now
    showAllAgain();
    alarmSpans->redraw();
    showState();
    plot->replot();
}

void LogViewer::showAllAgain() {
    userMovedView = false;
    interaction->showPaused(false);
    plot->showAll();
}

// Only the bytes after those already read; a file that got shorter was started again. A file
// deleted or moved away keeps its rows shown, with a note.
void LogViewer::readNew() {
    if (loader)
        return;
    const QFileInfo info(path);
    if (fileGone != !info.exists()) {
        fileGone = !info.exists();
        showState();
    }
    if (fileGone || !info.isFile())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    if (file.size() < readOffset)
        return load();
    if (file.size() == readOffset || !file.seek(readOffset))
        return;
    QByteArray chunk(ChunkBytes, Qt::Uninitialized);
    for (qint64 n; reader->isLog() && (n = file.read(chunk.data(), ChunkBytes)) > 0;) {
        reader->feed(QByteArrayView(chunk.constData(), n));
        readOffset += n;
    }
    if (timeBox->isChecked() && !reader->timesReadable()) {
        // A new row without a readable time: back to sample numbers.
        const QSignalBlocker quiet(timeBox);
        timeBox->setChecked(false);
        plot->setTimeAxis(false);
    }
    plot->appendRows(reader->takeRows());
    alarmSpans->read(AlarmRecord::pathBeside(path)); // the logger may have told more
    alarmSpans->redraw();
    if (!userMovedView)
        plot->showAll();
    showState();
    plot->replot();
}

void LogViewer::showState() {
    rowsLabel->setText(loader ? tr("Reading…") : tr("%1 rows").arg(reader->rowCount()));
    timeBox->setEnabled(reader->timesReadable());
    const QString notes = noteText();
    noteLabel->setText(notes);
    noteLabel->setVisible(!notes.isEmpty());
}

QString LogViewer::noteText() const {
    if (loader)
        return tr("Reading the log: %1% done.").arg(qRound(loader->progress() * 100));
    QStringList notes = reader->notes();
    if (!openError.isEmpty())
        notes.prepend(openError);
    if (!alarmSpans->problem().isEmpty())
        notes << tr("The alarms beside the log could not be read: %1").arg(alarmSpans->problem());
    if (fileGone)
        notes << tr("The file has been deleted or moved: the rows read before it went are still "
                    "shown.");
    return notes.join(u'\n');
}

qint64 LogViewer::rowCount() const {
    return reader->rowCount();
}

QString LogViewer::timeText(double secs) const {
    if (std::isnan(secs))
        return {};
    // Keys hold the log's wall-clock time as if it were UTC; the writer's format shows it again.
    const QDateTime shown = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(secs), Qt::UTC);
    return dateTimeField(QDateTime(shown.date(), shown.time()), locale);
}

QString LogViewer::keyText(double key) const {
    if (plot->timeAxis())
        return timeText(key);
    const auto& sampleNumbers = plot->rows().sampleNumbers;
    const auto row = std::lower_bound(sampleNumbers.begin(), sampleNumbers.end(), key);
    const QString sample = tr("Sample %1").arg(QString::number(key, 'f', 0));
    if (row == sampleNumbers.end() || *row != key)
        return sample;
    const QString when =
        timeText(plot->rows().seconds[static_cast<std::size_t>(row - sampleNumbers.begin())]);
    return when.isEmpty() ? sample : sample + QStringLiteral(", ") + when;
}

} // namespace kt7
