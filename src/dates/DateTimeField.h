#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>

namespace kt7 {

// The date field of the CSV log: how it is written under a locale and read back.

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

} // namespace kt7
