#pragma once

#include <QByteArray>
#include <algorithm>

// A line as an instrument sends it: value, blank, unit padded to eight characters, CR LF.
inline QByteArray deviceLine(const QByteArray& value, const QByteArray& unit = "us") {
    return value + ' ' + unit + QByteArray(std::max<qsizetype>(0, 8 - unit.size()), ' ') + "\r\n";
}
