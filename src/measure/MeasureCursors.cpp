#include "measure/MeasureCursors.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <cmath>
#include <qcustomplot.h>

namespace kt7 {

namespace {

// Two looks that tell A from B even in a grey print: solid green and dashed purple.
QPen cursorPen(MeasureCursors::Cursor cursor) {
    return cursor == MeasureCursors::A ? QPen(QColor(0, 140, 60), 1.5, Qt::SolidLine)
                                       : QPen(QColor(150, 40, 170), 1.5, Qt::DashLine);
}

} // namespace

MeasureCursors::MeasureCursors(QCustomPlot& plot, QCPLayer* layer, const MeasureSource& source)
    : QObject(&plot), plot(plot), layer(layer), source(source), focusBefore(plot.focusPolicy()) {
    for (const Cursor cursor : {A, B}) {
        auto* line = new QCPItemStraightLine(&plot);
        line->setLayer(layer);
        line->setPen(cursorPen(cursor));
        line->setSelectable(false);
        line->setVisible(false);
        lines[cursor] = line;
        auto* tag = new QCPItemText(&plot);
        tag->setLayer(layer);
        tag->setText(cursor == A ? QStringLiteral("A") : QStringLiteral("B"));
        tag->setColor(Qt::white);
        tag->setBrush(cursorPen(cursor).color());
        tag->setPadding(QMargins(3, 0, 3, 0));
        tag->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        tag->position->setTypeX(QCPItemPosition::ptPlotCoords);
        tag->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        tag->setClipToAxisRect(false);
        tag->setVisible(false);
        tags[cursor] = tag;
    }
    plot.installEventFilter(this);
}

void MeasureCursors::place(Cursor cursor, double key) {
    const auto row = source.nearestRow ? source.nearestRow(key) : std::optional<double>(key);
    if (!row)
        return;
    keys[cursor] = *row;
    draw(cursor);
    emit moved();
}

void MeasureCursors::placeAtPixel(Cursor cursor, const QPointF& pixel) {
    if (!enabled) {
        emit wanted();
        if (!enabled)
            return;
    }
    place(cursor, plot.xAxis->pixelToCoord(pixel.x()));
}

void MeasureCursors::clear() {
    if (!anySet())
        return;
    keys = {};
    for (const Cursor cursor : {A, B})
        draw(cursor);
    emit moved();
}

void MeasureCursors::draw(Cursor cursor) {
    QCPItemStraightLine* line = lines[cursor];
    const bool shown = keys[cursor].has_value();
    line->setVisible(shown);
    tags[cursor]->setVisible(shown);
    if (shown) {
        // The line belongs to the X axis alone; any Y axis of the plot gives it a height.
        for (QCPItemPosition* end : {line->point1, line->point2})
            end->setAxes(plot.xAxis, plot.axisRect()->axis(QCPAxis::atLeft));
        line->point1->setCoords(*keys[cursor], 0);
        line->point2->setCoords(*keys[cursor], 1);
        tags[cursor]->position->setAxes(plot.xAxis, plot.axisRect()->axis(QCPAxis::atLeft));
        tags[cursor]->position->setAxisRect(plot.axisRect());
        tags[cursor]->position->setCoords(*keys[cursor], 0);
    }
    layer->replot();
}

void MeasureCursors::setEnabled(bool on) {
    if (on == enabled)
        return;
    enabled = on;
    // Keys reach the plot only when it can take the focus; the live chart never could.
    if (on) {
        focusBefore = plot.focusPolicy();
        plot.setFocusPolicy(Qt::ClickFocus);
    } else {
        plot.setFocusPolicy(focusBefore);
        dragging.reset();
    }
}

std::optional<MeasureCursors::Cursor> MeasureCursors::cursorNear(const QPointF& pixel) const {
    std::optional<Cursor> nearest;
    double best = GrabPixels + 0.5;
    for (const Cursor cursor : {B, A}) {
        if (!keys[cursor])
            continue;
        const double distance = std::abs(plot.xAxis->coordToPixel(*keys[cursor]) - pixel.x());
        if (distance < best) {
            best = distance;
            nearest = cursor;
        }
    }
    return nearest;
}

bool MeasureCursors::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &plot)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!enabled || mouse->button() != Qt::LeftButton)
            return false;
        dragging = cursorNear(mouse->position());
        return dragging.has_value();
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        lastMouse = mouse->position();
        if (!dragging)
            return false;
        place(*dragging, plot.xAxis->pixelToCoord(mouse->position().x()));
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!dragging)
            return false;
        dragging.reset();
        return true;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (!enabled || (key != Qt::Key_A && key != Qt::Key_B) ||
            !plot.axisRect()->rect().contains(lastMouse.toPoint()))
            return false;
        placeAtPixel(key == Qt::Key_A ? A : B, lastMouse);
        return true;
    }
    default:
        return false;
    }
}

} // namespace kt7
