#include "dates/DateTimeFieldReader.h"

#include "text/CodePage.h"

#include <algorithm>
#include <cstring>

namespace kt7 {

namespace {
const qint64 epochDay = QDate(1970, 1, 1).toJulianDay();

// The writer turns narrow no-break spaces into blanks; the patterns must read them so.
DateTimePatterns asWritten(DateTimePatterns patterns) {
    patterns.date.replace(u'\u202F', u' ');
    patterns.time.replace(u'\u202F', u' ');
    return patterns;
}

// True when the readers of the bytes read what the writer writes under these patterns, and
// that text is ASCII, so it has the same bytes in every desktop's code page.
bool bytesRead(const QLocale& locale, const DateTimePatterns& patterns,
               const DatePatternReader& dates, const TimePatternReader& times) {
    const QDate date(2026, 12, 7);
    const QString dateText = locale.toString(date, patterns.date);
    for (const QTime& time : {QTime(1, 2, 3), QTime(13, 2, 3)}) {
        const QString timeText = locale.toString(time, patterns.time).replace(u'\u202F', u' ');
        const QString both = dateText + timeText;
        if (std::any_of(both.begin(), both.end(), [](QChar c) { return c.unicode() > 0x7f; }) ||
            dates.read(dateText.toLatin1()) != date || times.read(timeText.toLatin1()) != time)
            return false;
    }
    return true;
}
} // namespace

DateTimeFieldReader::DateTimeFieldReader(const QLocale& locale, const DateTimePatterns& written)
    : locale(locale), patterns(asWritten(written)), fastDates(patterns.date),
      fastTimes(patterns.time, locale) {
    bytesDecide = bytesRead(this->locale, patterns, fastDates, fastTimes);
    if (bytesDecide)
        blanksInDate = fastDates.blanks();
}

DateTimeFieldReader::DateTimeFieldReader(const QLocale& locale)
    : DateTimeFieldReader(locale, dateTimePatterns(locale)) {}

// Logs are written in the desktop's code page; one from another desktop reads as Windows-1252.
QString decodeLogText(QByteArrayView bytes) {
    static const CodePage desktop = CodePage::system();
    return desktop.readerFor(bytes).decode(bytes);
}

std::optional<qsizetype> DateTimeFieldReader::timeStart(QByteArrayView field) const {
    if (blanksInDate < 0)
        return std::nullopt;
    qsizetype at = -1;
    for (int blank = 0; blank <= blanksInDate; ++blank) {
        at = field.indexOf(' ', at + 1);
        if (at < 0)
            return std::nullopt;
    }
    return at + 1;
}

// Finds how many blanks the date part holds: the shortest prefix that reads as a date alone.
void DateTimeFieldReader::learnSplit(const QString& text) {
    int blanks = 0;
    for (qsizetype at = text.indexOf(u' '); at > 0; at = text.indexOf(u' ', at + 1), ++blanks) {
        if (parseDateTimeField(QStringView(text).left(at), locale, patterns).isValid()) {
            blanksInDate = blanks;
            return;
        }
    }
}

std::optional<qint64> DateTimeFieldReader::secondsOf(QByteArrayView field) {
    if (blanksInDate < 0) {
        const QString text = decodeLogText(field);
        const QDateTime whole = parseDateTimeField(text, locale, patterns);
        if (!whole.isValid())
            return std::nullopt;
        learnSplit(text);
        return (whole.date().toJulianDay() - epochDay) * 86400 +
               whole.time().msecsSinceStartOfDay() / 1000;
    }
    if (lastSeconds && field == lastField)
        return lastSeconds;
    const std::optional<qint64> seconds = readSplit(field);
    // Copied into the buffer it already has: no allocation per row.
    lastField.resize(field.size());
    std::memcpy(lastField.data(), field.data(), static_cast<std::size_t>(field.size()));
    lastSeconds = seconds;
    return seconds;
}

std::optional<qint64> DateTimeFieldReader::readSplit(QByteArrayView field) {
    const std::optional<qsizetype> split = timeStart(field);
    const QByteArrayView dateText = split ? field.first(*split - 1) : field;
    if (dateText != lastDateText) {
        lastDateText = dateText.toByteArray();
        lastDate = dateOf(dateText);
    }
    QTime time(0, 0);
    if (split) {
        const std::optional<QTime> read = timeOf(field.sliced(*split));
        if (!read)
            return std::nullopt;
        time = *read;
    }
    if (!lastDate.isValid() || !time.isValid())
        return std::nullopt;
    return (lastDate.toJulianDay() - epochDay) * 86400 + time.msecsSinceStartOfDay() / 1000;
}

QDate DateTimeFieldReader::dateOf(QByteArrayView text) const {
    if (const std::optional<QDate> plain = fastDates.read(text))
        return *plain;
    return bytesDecide ? QDate() : parseDateTimeField(decodeLogText(text), locale, patterns).date();
}

// The time part alone: a whole-field parse would also build a local date-time. Plain patterns
// are read from the bytes; any other is parsed once per distinct text and remembered, whether
// it reads or not.
std::optional<QTime> DateTimeFieldReader::timeOf(QByteArrayView text) {
    if (const std::optional<QTime> plain = fastTimes.read(text))
        return plain;
    if (bytesDecide)
        return std::nullopt;
    // Looked up without a copy; only a new text is stored.
    auto known = times.constFind(QByteArray::fromRawData(text.data(), text.size()));
    if (known == times.constEnd())
        known = times.insert(text.toByteArray(), locale.toTime(decodeLogText(text), patterns.time));
    return known->isValid() ? std::optional<QTime>(*known) : std::nullopt;
}

} // namespace kt7
