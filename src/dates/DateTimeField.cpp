#include "dates/DateTimeField.h"

namespace kt7 {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\u00A0' || c == u'\u202F';
}

void dropTrailingBlanks(QString& text) {
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
}

// Rewrites a QLocale date or time pattern: every year field becomes "yyyy" and the time-zone
// field goes, together with the blank that joined it to the rest. Quoted literals stay as they
// are, so a letter inside quotes is never mistaken for a field.
QString adjustedPattern(const QString& pattern) {
    QString out;
    bool skipLeadingBlanks = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            const qsizetype close = pattern.indexOf(u'\'', i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close + 1;
            out += QStringView(pattern).mid(i, end - i);
            i = end;
            skipLeadingBlanks = false;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        if (c == u't') {
            dropTrailingBlanks(out);
            skipLeadingBlanks = out.isEmpty();
        } else if (skipLeadingBlanks && isBlank(c)) {
            // blank that followed a time-zone field at the start
        } else {
            out += c == u'y' ? QStringLiteral("yyyy") : QString(run, c);
            skipLeadingBlanks = false;
        }
        i += run;
    }
    return out.trimmed();
}

} // namespace

QString dateTimeField(const QDateTime& when, const QLocale& locale) {
    if (!when.isValid())
        return {};
    const QDate date = when.date();
    const QTime time = when.time();
    // Compared at whole seconds: the field shows no fraction, so 00:00:00.4 reads as midnight.
    const bool midnight = time.hour() == 0 && time.minute() == 0 && time.second() == 0;
    const DateTimePatterns patterns = dateTimePatterns(locale);
    const QString dateText = locale.toString(date, patterns.date);
    const QString timeText = locale.toString(time, patterns.time);
    QString field = midnight ? dateText : dateText + u' ' + timeText;
    // Newer locale data puts a narrow no-break space before AM/PM; 8-bit text would show '?'.
    return field.replace(u'\u202F', u' ');
}

DateTimePatterns dateTimePatterns(const QLocale& locale) {
    if (locale.language() == QLocale::C)
        return {QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss")};
    return {adjustedPattern(locale.dateFormat(QLocale::ShortFormat)),
            adjustedPattern(locale.timeFormat(QLocale::LongFormat))};
}

QDateTime parseDateTimeField(QStringView field, const QLocale& locale) {
    return parseDateTimeField(field, locale, dateTimePatterns(locale));
}

QDateTime parseDateTimeField(QStringView field, const QLocale& locale, DateTimePatterns patterns) {
    // The writer turns narrow no-break spaces into blanks; the patterns must read them so.
    patterns.date.replace(u'\u202F', u' ');
    patterns.time.replace(u'\u202F', u' ');
    const QString text = field.trimmed().toString();
    if (const QDate date = locale.toDate(text, patterns.date); date.isValid())
        return QDateTime(date, QTime(0, 0));
    // The date pattern may hold blanks itself: try each blank as the one before the time.
    for (qsizetype blank = text.indexOf(u' '); blank > 0; blank = text.indexOf(u' ', blank + 1)) {
        const QDate date = locale.toDate(text.left(blank), patterns.date);
        const QTime time =
            date.isValid() ? locale.toTime(text.mid(blank + 1), patterns.time) : QTime();
        if (time.isValid())
            return QDateTime(date, time);
    }
    return {};
}

} // namespace kt7
