#pragma once

#include "acquisition/TareOffset.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

namespace kt7 {

// A sample cell from one received piece: read as a 32-bit value, less the tare, cut to 8
// characters. An unset or switched-off tare keeps 32-bit arithmetic; a tare that is on makes it
// 64-bit. Nothing when the piece is not a number.
std::optional<double> sampleCell(QByteArrayView piece, const TareOffset& tare);

// The value label's caption from one piece: read as a 64-bit value, less the tare, cut to 8
// characters, shown with 15 digits. Nothing when the piece is not a number.
std::optional<QString> valueLabelText(QByteArrayView piece, const TareOffset& tare);

// One device's complete lines of a tick turned into cells (at most maxCells, oldest first) and the
// caption of its newest line.
struct DeviceReadings {
    int lineCount = 0;
    std::vector<std::optional<double>> cells;
    std::optional<QString> label;
};
// The first maxCells pieces as cells; every number of all pieces, beyond the cap too, is appended
// to everyValue when one is given, so each piece is read once.
DeviceReadings convertPieces(const QList<QByteArray>& pieces, const TareOffset& tare, int maxCells,
                             std::vector<double>* everyValue = nullptr);

} // namespace kt7
