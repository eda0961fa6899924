#pragma once

#include <QByteArray>
#include <QStringView>

namespace kt7 {

// The log and the set-up file are 8-bit text: Latin-1, with '?' for each character that
// Latin-1 cannot hold (a surrogate pair is one character and gives one '?').
QByteArray toEightBitText(QStringView text);

} // namespace kt7
