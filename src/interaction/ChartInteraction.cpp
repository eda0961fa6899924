#include "interaction/ChartInteraction.h"

#include "interaction/GraphRows.h"
#include "measure/ChartMeasuring.h"
#include "measure/MeasureCursors.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "text/NumberText.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <optional>
#include <qcustomplot.h>

namespace kt7 {

namespace {

constexpr int ReadoutOffset = 14; // pixels between the cursor and the read-out
constexpr int DragThreshold = 3;  // pixels a press must move before it counts as a pan

std::optional<double> nearestKey(const QCPGraphDataContainer& data, double key) {
    if (data.isEmpty())
        return std::nullopt;
    auto it = data.findBegin(key, false);
    if (it == data.constEnd())
        return (it - 1)->key;
    if (it != data.constBegin() && key - (it - 1)->key < it->key - key)
        --it;
    return it->key;
}

std::optional<double> valueAt(const QCPGraphDataContainer& data, double key) {
    const auto it = data.findBegin(key, false);
    if (it == data.constEnd() || it->key != key || std::isnan(it->value))
        return std::nullopt;
    return it->value;
}

QCPItemText* overlayText(QCustomPlot& plot, QCPLayer* layer) {
    auto* text = new QCPItemText(&plot);
    text->setLayer(layer);
    text->setClipToAxisRect(false);
    text->position->setType(QCPItemPosition::ptAbsolute);
    text->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setPadding(QMargins(4, 1, 4, 1));
    text->setBrush(QColor(255, 255, 255, 230));
    text->setVisible(false);
    return text;
}

} // namespace

ChartInteraction::ChartInteraction(QCustomPlot& plot,
                                   const std::array<QCPGraph*, DeviceCount>& graphs,
                                   FileDialogs& dialogs, MessageBoxes& messages)
    : QObject(&plot), plot(plot), graphs(graphs), dialogs(dialogs), messages(messages) {
    QList<QCPAxis*> yAxes;
    for (QCPGraph* graph : graphs)
        yAxes << graph->valueAxis();
    plot.setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    QCPAxisRect* rect = plot.axisRect();
    rect->setRangeDrag(Qt::Horizontal | Qt::Vertical);
    rect->setRangeDragAxes({plot.xAxis}, yAxes);
    rect->setRangeZoom(Qt::Horizontal);
    rect->setRangeZoomAxes({plot.xAxis}, {});

    // A buffered layer of its own: moving the read-out repaints it alone, not the traces.
    plot.addLayer(QStringLiteral("measure"), plot.layer(QStringLiteral("overlay")),
                  QCustomPlot::limAbove);
    overlay = plot.layer(QStringLiteral("measure"));
    // Buffered only while something on it shows: an empty buffer of its own would still be
    // cleared and painted over the chart on every replot.
    connect(&plot, &QCustomPlot::beforeReplot, this, [this] {
        const QList<QCPLayerable*> onIt = overlay->children();
        const bool shown = std::any_of(onIt.begin(), onIt.end(),
                                       [](const QCPLayerable* item) { return item->visible(); });
        overlay->setMode(shown ? QCPLayer::lmBuffered : QCPLayer::lmLogical);
    });

    pausedMarker = overlayText(plot, overlay);
    pausedMarker->position->setType(QCPItemPosition::ptAxisRectRatio);
    pausedMarker->position->setAxisRect(rect);
    pausedMarker->position->setCoords(0, 0);
    pausedMarker->setBrush(QColor(255, 244, 200));
    pausedMarker->setPen(QPen(QColor(200, 150, 0)));
    pausedMarker->setText(tr("Paused: double-click for live"));

    cursorLine = new QCPItemStraightLine(&plot);
    cursorLine->setLayer(overlay);
    cursorLine->setPen(QPen(QColor(120, 120, 120), 0, Qt::DashLine));
    for (QCPItemPosition* end : {cursorLine->point1, cursorLine->point2})
        end->setAxes(plot.xAxis, yAxes.first());
    cursorLine->setVisible(false);
    for (auto& text : readoutTexts)
        text = overlayText(plot, overlay);
    for (int d = 0; d < DeviceCount; ++d) {
        auto* tracer = new QCPItemTracer(&plot);
        tracer->setLayer(overlay);
        tracer->position->setAxes(plot.xAxis, graphs[d]->valueAxis());
        tracer->setStyle(QCPItemTracer::tsCircle);
        tracer->setSize(7);
        tracer->setPen(QPen(graphs[d]->pen().color(), 1.5));
        tracer->setVisible(false);
        tracers[d] = tracer;
    }
    plot.installEventFilter(this);
    plot.setMouseTracking(true);
    // After the filter above, so the cursors see a press first and can keep a drag from panning.
    readout = withGraphRows({}, graphs);
    measure = new ChartMeasuring(plot, graphs, overlay, readout);
    measure->cursors()->setEnabled(false);
    connect(measure->cursors(), &MeasureCursors::wanted, this, &ChartInteraction::viewMovedByUser);
}

void ChartInteraction::setReadoutSource(ReadoutSource source) {
    readout = withGraphRows(std::move(source), graphs);
}

void ChartInteraction::setCursorsAlways(bool always) {
    cursorsAlways = always;
    measure->cursors()->setEnabled(always || pausedMarker->visible());
}

void ChartInteraction::setPausedText(const QString& text) {
    pausedMarker->setText(text);
}

void ChartInteraction::showPaused(bool paused) {
    pausedMarker->setVisible(paused);
    if (!cursorsAlways) {
        measure->cursors()->setEnabled(paused);
        if (!paused)
            measure->cursors()->clear();
    }
    overlay->replot();
}

bool ChartInteraction::pausedMarkerShown() const {
    return pausedMarker->visible();
}

bool ChartInteraction::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &plot)
        return false;
    switch (event->type()) {
    case QEvent::Wheel:
        chooseZoomAxes(static_cast<QWheelEvent*>(event)->position());
        emit viewMovedByUser();
        break;
    case QEvent::MouseButtonPress:
        pressAt = static_cast<QMouseEvent*>(event)->position();
        dragging = false;
        break;
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!(mouse->buttons() & Qt::LeftButton)) {
            showReadoutAt(mouse->position());
        } else if (dragging || (mouse->position() - pressAt).manhattanLength() > DragThreshold) {
            dragging = true;
            hideReadout();
            emit viewMovedByUser();
        } else {
            // QCustomPlot pans from the first pixel; a click that wobbles must not move the
            // axes. Once past the threshold, its pan still counts from the press.
            return true;
        }
        break;
    }
    case QEvent::Leave:
        hideReadout();
        break;
    case QEvent::MouseButtonDblClick:
        emit backToLiveRequested();
        break;
    case QEvent::ContextMenu: {
        const auto* request = static_cast<QContextMenuEvent*>(event);
        QMenu* menu = createContextMenu(&plot, request->pos());
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(request->globalPos());
        return true;
    }
    default:
        break;
    }
    return false;
}

// Over a Y axis the wheel zooms that axis alone; anywhere else it zooms X about the cursor.
// Both are the axis rect's own wheel zoom, pointed at the axis under the cursor.
void ChartInteraction::chooseZoomAxes(const QPointF& pixel) {
    QCPAxis* yAxis = nullptr;
    for (const QCPGraph* graph : graphs)
        if (graph->valueAxis()->selectTest(pixel, false) >= 0)
            yAxis = graph->valueAxis();
    QCPAxisRect* rect = plot.axisRect();
    if (yAxis) {
        rect->setRangeZoomAxes({}, {yAxis});
        rect->setRangeZoom(Qt::Vertical);
    } else {
        rect->setRangeZoomAxes({plot.xAxis}, {});
        rect->setRangeZoom(Qt::Horizontal);
    }
}

void ChartInteraction::showReadoutAt(const QPointF& pixel) {
    if (!plot.axisRect()->rect().contains(pixel.toPoint()))
        return hideReadout();
    const double cursorKey = plot.xAxis->pixelToCoord(pixel.x());
    std::optional<double> key;
    for (int d = 0; d < DeviceCount; ++d) {
        if (readout.shows && !readout.shows(d))
            continue;
        const auto nearest = nearestKey(*pointsOf(d), cursorKey);
        if (nearest && (!key || std::abs(*nearest - cursorKey) < std::abs(*key - cursorKey)))
            key = nearest;
    }
    if (!key)
        return hideReadout();
    int line = 0;
    readoutTexts[line]->setText(readout.keyText ? readout.keyText(*key)
                                                : tr("Point %1").arg(QString::number(*key)));
    readoutTexts[line++]->setColor(Qt::black);
    for (int d = 0; d < DeviceCount; ++d) {
        tracers[d]->setVisible(false);
        if (readout.shows && !readout.shows(d))
            continue;
        const auto value = valueAt(*pointsOf(d), *key);
        const QString unit = readout.unit ? readout.unit(d).trimmed() : QString();
        const QString shown =
            value ? numberText(*value) + (unit.isEmpty() ? "" : " " + unit) : tr("no value");
        const QString name = readout.name ? readout.name(d) : tr("Device %1").arg(d + 1);
        readoutTexts[line]->setText(name + QStringLiteral(": ") + shown);
        readoutTexts[line++]->setColor(graphs[d]->pen().color());
        if (value) {
            tracers[d]->position->setCoords(*key, *value);
            tracers[d]->setVisible(true);
        }
    }
    cursorLine->point1->setCoords(*key, 0);
    cursorLine->point2->setCoords(*key, 1);
    cursorLine->setVisible(true);
    placeReadout(QPointF(plot.xAxis->coordToPixel(*key), pixel.y()), line);
    overlay->replot();
}

QSharedPointer<QCPGraphDataContainer> ChartInteraction::pointsOf(int device) const {
    return readout.points ? readout.points(device) : graphs[device]->data();
}

void ChartInteraction::placeReadout(const QPointF& pixel, int lines) {
    shownLines = lines;
    const QRect area = plot.axisRect()->rect();
    int width = 0;
    int height = 0;
    for (int i = 0; i < lines; ++i) {
        const QFontMetrics metrics(readoutTexts[i]->font());
        width = std::max(width, metrics.horizontalAdvance(readoutTexts[i]->text()) + 8);
        height = metrics.height() + 2;
    }
    double x = pixel.x() + ReadoutOffset;
    if (x + width > area.right())
        x = pixel.x() - ReadoutOffset - width;
    const double top = area.top() + (pausedMarker->visible() ? 2 * height : 4);
    for (int i = 0; i < static_cast<int>(readoutTexts.size()); ++i) {
        readoutTexts[i]->setVisible(i < lines);
        readoutTexts[i]->position->setCoords(x, top + i * height);
    }
}

void ChartInteraction::hideReadout() {
    if (shownLines == 0 && !cursorLine->visible())
        return;
    shownLines = 0;
    for (auto* text : readoutTexts)
        text->setVisible(false);
    for (auto* tracer : tracers)
        tracer->setVisible(false);
    cursorLine->setVisible(false);
    overlay->replot();
}

QStringList ChartInteraction::readoutLines() const {
    QStringList lines;
    for (int i = 0; i < shownLines; ++i)
        lines << readoutTexts[i]->text();
    return lines;
}

QList<QColor> ChartInteraction::readoutColours() const {
    QList<QColor> colours;
    for (int i = 0; i < shownLines; ++i)
        colours << readoutTexts[i]->color();
    return colours;
}

QMenu* ChartInteraction::createContextMenu(QWidget* parent, const QPointF& at) {
    auto* menu = new QMenu(parent);
    measure->addMenuEntries(*menu, at);
    menu->addSeparator();
    menu->addAction(tr("Save chart as PNG…"), this, &ChartInteraction::savePngWithDialog);
    menu->addAction(tr("Save chart as PDF…"), this, &ChartInteraction::savePdfWithDialog);
    menu->addAction(tr("Copy chart"), this, &ChartInteraction::copyToClipboard);
    menu->addSeparator();
    menu->addAction(tr("Back to live"), this, &ChartInteraction::backToLiveRequested);
    menu->addAction(tr("Open log in viewer…"), this, &ChartInteraction::openLogRequested);
    if (menuExtras) {
        menu->addSeparator();
        menuExtras(*menu);
    }
    return menu;
}

QString ChartInteraction::askForFile(const QString& filter, const QString& suffix) {
    return dialogs.getSaveFileName({filter, exportFolder, suffix});
}

// The picture shows the traces only: no read-out and no paused marker.
bool ChartInteraction::exportWith(const std::function<bool()>& save) {
    const bool marker = pausedMarker->visible();
    hideReadout();
    pausedMarker->setVisible(false);
    const bool saved = save();
    pausedMarker->setVisible(marker);
    return saved;
}

void ChartInteraction::savePngWithDialog() {
    const QString path = askForFile(QStringLiteral("PNG Images (*.png)|*.png"), "png");
    if (!path.isEmpty() && !exportWith([&] { return plot.savePng(path); }))
        messages.show(tr("The chart could not be saved as %1.").arg(path));
}

void ChartInteraction::savePdfWithDialog() {
    const QString path = askForFile(QStringLiteral("PDF Documents (*.pdf)|*.pdf"), "pdf");
    if (!path.isEmpty() && !exportWith([&] { return plot.savePdf(path); }))
        messages.show(tr("The chart could not be saved as %1.").arg(path));
}

void ChartInteraction::copyToClipboard() {
    exportWith([&] {
        QApplication::clipboard()->setPixmap(plot.toPixmap());
        return true;
    });
}

} // namespace kt7
