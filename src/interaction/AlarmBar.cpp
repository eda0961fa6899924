#include "interaction/AlarmBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <qcustomplot.h>

namespace kt7 {

namespace {
const QColor ActiveBack(200, 0, 0);
const QColor EndedBack(232, 232, 232);
const QColor EndedText(90, 90, 90);
const QColor NoteBack(255, 244, 200);
constexpr int Padding = 2;
} // namespace

AlarmBar::AlarmBar(QCustomPlot& plot, AlarmBoard& board,
                   std::function<QString(const AlarmEvent&)> textOf)
    : QWidget(&plot), plot(plot), board(board), textOf(std::move(textOf)),
      plotMargins(plot.axisRect()->minimumMargins()) {
    setObjectName(QStringLiteral("AlarmBar"));
    setCursor(Qt::PointingHandCursor);
    setToolTip(tr("Click an ended alarm to acknowledge it"));
    hide();
    plot.installEventFilter(this);
}

int AlarmBar::lineHeight() const {
    return fontMetrics().height() + 2 * Padding;
}

QStringList AlarmBar::lines() const {
    QStringList texts;
    for (const AlarmEvent& entry : board.entries())
        texts << textOf(entry) + (entry.state == AlarmState::Ended ? tr("  (click to acknowledge)")
                                                                   : QString());
    return texts + notes;
}

void AlarmBar::addNote(const QString& text) {
    notes << text;
    refresh();
}

void AlarmBar::refresh() {
    const int height = static_cast<int>(board.entries().size() + notes.size()) * lineHeight();
    setGeometry(0, 0, plot.width(), height);
    setVisible(height > 0);
    update();
    // The plot draws below the bar rather than under it.
    QMargins margins = plotMargins;
    margins.setTop(margins.top() + height);
    if (plot.axisRect()->minimumMargins() != margins) {
        plot.axisRect()->setMinimumMargins(margins);
        plot.replot(QCustomPlot::rpQueuedReplot);
    }
}

void AlarmBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QStringList texts = lines();
    const int step = lineHeight();
    const qsizetype entries = board.entries().size();
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const bool note = i >= entries;
        const bool ended = note || board.entries()[i].state == AlarmState::Ended;
        const QRect row(0, static_cast<int>(i) * step, width(), step);
        painter.fillRect(row, note ? NoteBack : ended ? EndedBack : ActiveBack);
        painter.setPen(ended ? EndedText : QColor(Qt::white));
        painter.drawText(row.adjusted(6, 0, -6, 0), Qt::AlignLeft | Qt::AlignVCenter, texts[i]);
    }
}

void AlarmBar::mousePressEvent(QMouseEvent* event) {
    const qsizetype row = static_cast<qsizetype>(event->position().y()) / lineHeight();
    const bool noted = !notes.isEmpty();
    notes.clear();
    if (board.acknowledge(row) || board.acknowledgeEnded() || noted) {
        refresh();
        emit acknowledged();
    }
}

bool AlarmBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &plot && event->type() == QEvent::Resize)
        resize(plot.width(), height());
    return QWidget::eventFilter(watched, event);
}

} // namespace kt7
