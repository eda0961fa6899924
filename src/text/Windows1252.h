#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace kt7 {

// Instruments send 8-bit text, and the usual 8-bit text of the desktops they were made for is
// Windows-1252: a degree sign arrives as 0xB0. The five bytes Windows-1252 leaves undefined map to
// the C1 controls of the same number, as Windows itself does, so every byte survives a round trip.
QString fromWindows1252(QByteArrayView bytes);

// '?' for each character Windows-1252 cannot hold (a surrogate pair is one character).
QByteArray toWindows1252(QStringView text);
// The same rule for Latin-1, whose 256 characters are the first 256 of Unicode.
QByteArray toLatin1WithQuestionMarks(QStringView text);

} // namespace kt7
