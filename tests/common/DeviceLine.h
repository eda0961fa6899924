#pragma once

#include <QByteArray>

namespace kt7test {

// A line as an instrument sends it: value, blank, unit padded to eight characters, CR LF.
inline QByteArray deviceLine(const QByteArray& value, const QByteArray& unit = "us") {
    return value + ' ' + unit.leftJustified(8, ' ') + "\r\n";
}

} // namespace kt7test
