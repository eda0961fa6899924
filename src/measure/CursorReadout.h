#pragma once

#include "measure/MeasureSource.h"

#include <QStringList>
#include <optional>
#include <vector>

namespace kt7 {

// What the two cursors read: per shown device the value at A, at B and B - A, and the span
// between them in samples and, on a time axis, in time.
struct CursorReadout {
    struct Device {
        int device = 0;
        QString name;
        QString unit;
        std::optional<double> atA;
        std::optional<double> atB;
        std::optional<double> change() const {
            return atA && atB ? std::optional<double>(*atB - *atA) : std::nullopt;
        }
    };

    std::optional<double> keyA;
    std::optional<double> keyB;
    QString textA; // the key as the read-out writes it, "Sample 12" or a date and time
    QString textB;
    std::optional<double> samples; // sample number at B minus that at A
    std::optional<double> seconds; // on a time axis only
    std::vector<Device> devices;

    // "B - A: 72 samples, 1 min 12 s"; empty unless both cursors are set.
    QString spanText() const;
};

// The read-out of cursors standing at the given keys (either may be unset). A device without a
// reading in the row a cursor stands on has no value there.
CursorReadout
readCursors(const MeasureSource& source, int devices, std::optional<double> keyA,
            std::optional<double> keyB,
            const std::function<QSharedPointer<QCPGraphDataContainer>(int)>& graphData);

} // namespace kt7
