#pragma once

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

// The locale's short date (year always with four digits), one blank, its long time without a
// time-zone suffix; the date alone at exactly 00:00:00. QLocale::c() gives ISO
// "yyyy-MM-dd HH:mm:ss", so logs written under the C/POSIX locale sort and parse cleanly.
QString dateTimeField(const QDateTime& when, const QLocale& locale);

// The date and the time pattern dateTimeField writes with under a locale.
struct DateTimePatterns {
    QString date;
    QString time;
};
DateTimePatterns dateTimePatterns(const QLocale& locale);

// Reads a field written by dateTimeField under the same locale back; a date alone is midnight.
// Invalid when the text does not fit the locale's patterns.
QDateTime parseDateTimeField(QStringView field, const QLocale& locale);
// The same with the patterns given, as written on another desktop.
QDateTime parseDateTimeField(QStringView field, const QLocale& locale, DateTimePatterns patterns);

// One data row: sample number, date and time, and per device its value's number text or an
// empty field.
QByteArray csvDataRow(qint32 sampleNumber, const QDateTime& when, const QLocale& locale,
                      const CodePage& codePage, const std::array<std::optional<double>, 8>& values);

} // namespace kt7
