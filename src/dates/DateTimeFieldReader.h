#pragma once

#include "dates/DatePatternReader.h"
#include "dates/DateTimeField.h"
#include "dates/TimePatternReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QHash>
#include <QLocale>
#include <QString>
#include <QTime>

#include <optional>

namespace kt7 {

// Reads the date field of a log's rows as wall-clock seconds since 1970-01-01 00:00, without a
// time zone (the log holds local time as text; a chart only needs it in order). A log has few
// distinct dates and at most a day's worth of distinct times, so both are parsed once and
// remembered: a million rows cost a hash look-up each, not a locale parse. Rows of one second
// share their field, so a row like the one before costs a comparison. Where the writer writes
// only ASCII (digits, literals, AM and PM), the bytes alone decide: a field that does not fit
// the patterns is unreadable without asking QLocale, so it costs no more than one that fits.
class DateTimeFieldReader {
  public:
    // The patterns the log was written with under a locale; the locale names AM and PM.
    DateTimeFieldReader(const QLocale& locale, const DateTimePatterns& patterns);
    explicit DateTimeFieldReader(const QLocale& locale);

    std::optional<qint64> secondsOf(QByteArrayView field);

  private:
    std::optional<qsizetype> timeStart(QByteArrayView field) const;
    void learnSplit(const QString& text);

    std::optional<qint64> readSplit(QByteArrayView field);
    QDate dateOf(QByteArrayView text) const;
    std::optional<QTime> timeOf(QByteArrayView text);

    QLocale locale;
    DateTimePatterns patterns;
    DatePatternReader fastDates;
    TimePatternReader fastTimes;
    bool bytesDecide = false;
    QByteArray lastField;
    std::optional<qint64> lastSeconds;
    int blanksInDate = -1; // blanks inside the date part; unknown until a row with a time
    QByteArray lastDateText;
    QDate lastDate;
    QHash<QByteArray, QTime> times; // an invalid time for a text that does not read
};

// Text of the log as it was written: UTF-8 when the bytes are valid UTF-8, else Latin-1.
QString decodeLogText(QByteArrayView bytes);

} // namespace kt7
