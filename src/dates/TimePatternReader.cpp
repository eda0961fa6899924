#include "dates/TimePatternReader.h"

#include "dates/PatternWalk.h"

namespace kt7 {

TimePatternReader::TimePatternReader(const QString& pattern, const QLocale& locale)
    : amText(locale.amText().toUtf8()), pmText(locale.pmText().toUtf8()) {
    if (!parse(pattern))
        fields.clear();
}

bool TimePatternReader::parse(const QString& pattern) {
    bool twelveHour = false;
    const auto literal = [this](const QString& text) {
        fields.push_back({Kind::Literal, 0, text.toUtf8()});
    };
    const auto field = [&](QChar c, qsizetype run, qsizetype i) -> qsizetype {
        const int digits = static_cast<int>(run);
        if ((c == u'A' || c == u'a') && run == 1) {
            // "A", "AP" and their lower-case forms are one field
            if (i + 1 < pattern.size() && (pattern[i + 1] == u'P' || pattern[i + 1] == u'p'))
                ++run;
            twelveHour = true;
            fields.push_back({Kind::AmPm, 0, {}});
        } else if ((c == u'h' || c == u'H' || c == u'm' || c == u's') && run <= 2) {
            const Kind kind = c == u'h'   ? Kind::Hour12
                              : c == u'H' ? Kind::Hour24
                              : c == u'm' ? Kind::Minute
                                          : Kind::Second;
            fields.push_back({kind, digits, {}});
        } else {
            return 0; // milliseconds, time zones and the like: QLocale reads those
        }
        return run;
    };
    if (!walkPattern(pattern, literal, field))
        return false;
    // Without AM/PM, 'h' counts hours 0 to 23 as 'H' does.
    for (Field& f : fields)
        if (f.kind == Kind::Hour12 && !twelveHour)
            f.kind = Kind::Hour24;
    return true;
}

std::optional<QTime> TimePatternReader::read(QByteArrayView text) const {
    if (fields.empty())
        return std::nullopt;
    int hour = -1;
    int minute = 0;
    int second = 0;
    std::optional<bool> afternoon;
    bool twelveHour = false;
    qsizetype at = 0;
    for (const Field& field : fields) {
        if (field.kind == Kind::Literal) {
            if (!takeLiteral(text, at, field.text))
                return std::nullopt;
        } else if (field.kind == Kind::AmPm) {
            const QByteArrayView rest = text.sliced(at);
            if (!amText.isEmpty() && rest.startsWith(amText)) {
                afternoon = false;
                at += amText.size();
            } else if (!pmText.isEmpty() && rest.startsWith(pmText)) {
                afternoon = true;
                at += pmText.size();
            } else {
                return std::nullopt;
            }
        } else {
            const std::optional<int> value = takeDigits(text, at, field.digits);
            if (!value)
                return std::nullopt;
            if (field.kind == Kind::Hour12 || field.kind == Kind::Hour24) {
                if (hour >= 0)
                    return std::nullopt;
                hour = *value;
                twelveHour = field.kind == Kind::Hour12;
            } else {
                (field.kind == Kind::Minute ? minute : second) = *value;
            }
        }
    }
    if (at != text.size() || hour < 0 || twelveHour != afternoon.has_value() || minute > 59 ||
        second > 59)
        return std::nullopt;
    if (twelveHour) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (*afternoon ? 12 : 0);
    } else if (hour > 23) {
        return std::nullopt;
    }
    return QTime(hour, minute, second);
}

} // namespace kt7
