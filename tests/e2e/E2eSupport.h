#pragma once

#include "common/SimulatorProcess.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Readers for the logger's CSV and checks of its rows against what the simulator sent.
namespace e2e {

// A CSV split at CR LF: the whole lines without their ending, and whatever follows the last CR LF.
struct CsvText {
    QList<QByteArray> lines;
    QByteArray tail;
    bool bareLineFeed = false; // an LF without the CR before it
};
CsvText readCsv(const QString& path);
// Data rows (whole lines after the three header lines) in the file now; 0 when it does not exist.
int wholeDataRows(const QString& path);

// A reading as thousandths, so "12.300" from the instrument and "12.3" in the log compare equal.
qint64 thousandths(const QByteArray& number, bool* ok = nullptr);

// Checks the data rows: ten fields each, sample numbers 1, 2, 3, ... without a gap, a date and
// time, a number for device 1 and nothing for the other devices. Empty text when all is well,
// else what is wrong.
QString checkDataRows(const QList<QByteArray>& rows);

// Checks that the rows hold device 1's values in the order the simulator sent them, starting with
// the line after the one the link showed (linkValue). The sent lines after the linked one go to
// after, when given. Empty text when all is well, else what is wrong.
QString checkRowsFollowSent(const QList<QByteArray>& rows, const QString& sentLog,
                            const QByteArray& linkValue, QList<kt7test::SentLine>* after = nullptr);

// Checks one device's column (1 to 8) of the data rows: its readings are lines its instrument
// sent, in the order sent, none twice. Empty text when all is well, else what is wrong.
QString checkDeviceColumn(const QList<QByteArray>& rows, int device, const QString& sentLog);

} // namespace e2e
