#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>
#include <QTime>

#include <optional>
#include <vector>

namespace kt7 {

// Reads time texts written with a plain time pattern (hours, minutes, seconds, AM/PM and
// literals) straight from the bytes. A log of a few days holds tens of thousands of distinct
// times, and QLocale::toTime takes microseconds for each. A text that does not fit the pattern
// exactly gets no answer, so the caller can ask QLocale and both ways read alike.
class TimePatternReader {
  public:
    TimePatternReader(const QString& pattern, const QLocale& locale);

    // False when the pattern holds a field this reader does not know; read() then never answers.
    bool usable() const { return !fields.empty(); }
    std::optional<QTime> read(QByteArrayView text) const;

  private:
    enum class Kind { Hour12, Hour24, Minute, Second, AmPm, Literal };
    struct Field {
        Kind kind;
        int digits = 0;  // 1: one or two digits, 2: exactly two
        QByteArray text; // a literal's bytes
    };
    bool parse(const QString& pattern);

    std::vector<Field> fields;
    QByteArray amText;
    QByteArray pmText;
};

} // namespace kt7
