#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace kt7 {

// The line ending an instrument sends after a value: a blank, the unit padded with blanks to eight
// characters, CR and LF. A unit longer than eight characters gets no padding.
QByteArray lineTerminator(const QString& unit);

// One device's received text that has not been cut into readings yet.
class StreamReader {
  public:
    // An instrument whose unit never matches would otherwise grow the text without bound.
    static constexpr qsizetype Capacity = 64 * 1024;

    // Appends what was received and cuts off every complete line, oldest first. Only the
    // unterminated tail stays. A line whose start was lost comes out as an empty piece, so it is
    // counted as a line but never taken for a reading.
    QList<QByteArray> take(QByteArrayView received, const QString& unit);

    // After a link check consumed everything the port had: continue from the partial line after the
    // last CR of that text, dropping whatever was pending from before.
    void restartAfterLink(const QByteArray& linkText);

    const QByteArray& pending() const { return text; }

  private:
    void dropOldestBeyondCapacity();

    QByteArray text;
    bool startLost = false;     // the first piece begins somewhere inside a line
    bool skipLeadingLf = false; // the link check stopped between the CR and LF of a line end
};

} // namespace kt7
