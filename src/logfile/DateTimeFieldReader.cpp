#include "logfile/DateTimeFieldReader.h"

#include "logfile/CsvFormat.h"
#include "text/CodePage.h"

#include <cstring>

namespace kt7 {

namespace {
const qint64 epochDay = QDate(1970, 1, 1).toJulianDay();
} // namespace

DateTimeFieldReader::DateTimeFieldReader(const QLocale& locale)
    : locale(locale), timePattern(QString(dateTimePatterns(locale).time).replace(u'\u202F', u' ')),
      fastTimes(timePattern, locale) {}

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
        if (parseDateTimeField(QStringView(text).left(at), locale).isValid()) {
            blanksInDate = blanks;
            return;
        }
    }
}

std::optional<qint64> DateTimeFieldReader::secondsOf(QByteArrayView field) {
    if (blanksInDate < 0) {
        const QString text = decodeLogText(field);
        const QDateTime whole = parseDateTimeField(text, locale);
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
        lastDate = parseDateTimeField(decodeLogText(dateText), locale).date();
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

// The time part alone: a whole-field parse would also build a local date-time. Plain patterns
// are read from the bytes; any other is parsed once per distinct text and remembered.
std::optional<QTime> DateTimeFieldReader::timeOf(QByteArrayView text) {
    if (const std::optional<QTime> plain = fastTimes.read(text))
        return plain;
    // Looked up without a copy; only a new text is stored.
    auto known = times.constFind(QByteArray::fromRawData(text.data(), text.size()));
    if (known == times.constEnd()) {
        const QTime read = locale.toTime(decodeLogText(text), timePattern);
        if (!read.isValid())
            return std::nullopt;
        known = times.insert(text.toByteArray(), read);
    }
    return *known;
}

} // namespace kt7
