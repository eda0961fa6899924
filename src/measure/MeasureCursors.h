#pragma once

#include "measure/MeasureSource.h"

#include <QObject>
#include <QPointF>
#include <array>
#include <optional>

class QCPItemStraightLine;
class QCPItemText;
class QCPLayer;
class QCustomPlot;

namespace kt7 {

// Cursors A and B on a plot: vertical lines that stand on rows, placed from the menu or with the
// keys A and B at the mouse, and dragged with the left button. A drag that starts on a cursor
// moves it and is kept from the plot, which would pan instead.
class MeasureCursors : public QObject {
    Q_OBJECT

  public:
    enum Cursor { A, B };
    static constexpr int GrabPixels = 5; // how near a press must be to take a cursor

    // The source is read at each placement (for the rows); the caller keeps it alive.
    MeasureCursors(QCustomPlot& plot, QCPLayer* layer, const MeasureSource& source);

    // Snaps the key to the nearest row; does nothing when there are no rows.
    void place(Cursor cursor, double key);
    void placeAtPixel(Cursor cursor, const QPointF& pixel);
    void clear();
    std::optional<double> key(Cursor cursor) const { return keys[cursor]; }
    bool anySet() const { return keys[A] || keys[B]; }

    // Keys and drags are ignored while disabled; the live chart allows cursors only while paused.
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled; }

  signals:
    void moved();
    // The user asked for a cursor while they were disabled.
    void wanted();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::optional<Cursor> cursorNear(const QPointF& pixel) const;
    void draw(Cursor cursor);

    QCustomPlot& plot;
    QCPLayer* layer;
    const MeasureSource& source;
    std::array<std::optional<double>, 2> keys;
    std::array<QCPItemStraightLine*, 2> lines{};
    std::array<QCPItemText*, 2> tags{};
    std::optional<Cursor> dragging;
    QPointF lastMouse{-1, -1};
    bool enabled = true;
    Qt::FocusPolicy focusBefore = Qt::NoFocus;
};

} // namespace kt7
