#include "dates/DatePatternReader.h"

#include "dates/PatternWalk.h"

namespace kt7 {

DatePatternReader::DatePatternReader(const QString& pattern) {
    if (!parse(pattern))
        fields.clear();
    for (const Field& field : fields)
        blankCount += static_cast<int>(field.text.count(' '));
}

bool DatePatternReader::parse(const QString& pattern) {
    const auto literal = [this](const QString& text) {
        fields.push_back({Kind::Literal, 0, text.toUtf8()});
    };
    return walkPattern(pattern, literal, [this](QChar c, qsizetype run, qsizetype) -> qsizetype {
        if ((c == u'd' || c == u'M') && run <= 2)
            fields.push_back({c == u'd' ? Kind::Day : Kind::Month, static_cast<int>(run), {}});
        else if (c == u'y' && run == 4)
            fields.push_back({Kind::Year, 4, {}});
        else
            return 0; // names of days and months, short years: QLocale reads those
        return run;
    });
}

std::optional<QDate> DatePatternReader::read(QByteArrayView text) const {
    if (fields.empty())
        return std::nullopt;
    int day = 0;
    int month = 0;
    int year = 0;
    qsizetype at = 0;
    for (const Field& field : fields) {
        if (field.kind == Kind::Literal) {
            if (!takeLiteral(text, at, field.text))
                return std::nullopt;
            continue;
        }
        const std::optional<int> value = takeDigits(text, at, field.digits);
        if (!value)
            return std::nullopt;
        (field.kind == Kind::Day ? day : field.kind == Kind::Month ? month : year) = *value;
    }
    const QDate date(year, month, day);
    if (at != text.size() || !date.isValid())
        return std::nullopt;
    return date;
}

} // namespace kt7
