#pragma once

#include "dates/DateTimeField.h"
#include "text/CodePage.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <array>
#include <optional>

namespace kt7 {

// The CSV log's bytes. Every line ends with CR LF; fields are joined by single commas and never
// quoted, so a comma inside a label shifts the later header columns (readers of old logs rely on
// the plain layout).

// The three header lines: the fixed identification line, then ",," + the eight device labels,
// then ",," + the eight unit texts, in the desktop's code page.
QByteArray csvHeader(const std::array<QString, 8>& labels, const std::array<QString, 8>& units,
                     const CodePage& codePage);

// One data row: sample number, date and time, and per device its value's number text or an
// empty field.
QByteArray csvDataRow(qint32 sampleNumber, const QDateTime& when, const QLocale& locale,
                      const CodePage& codePage, const std::array<std::optional<double>, 8>& values);

} // namespace kt7
