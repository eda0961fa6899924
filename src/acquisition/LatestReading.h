#pragma once

#include <QByteArray>
#include <QString>

namespace kt7 {

struct LatestReading {
    bool found = false;
    double value = 0;
    QString unit;
};

// The value and unit of the latest CR-terminated line in everything a port has received. A line
// that is empty, starts with a blank or holds no blank at all is not a reading.
LatestReading parseLatestReading(const QByteArray& text);

} // namespace kt7
