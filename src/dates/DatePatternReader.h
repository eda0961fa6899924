#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace kt7 {

// Reads date texts written with a numeric date pattern (day, month, four-digit year and
// literals) straight from the bytes, as TimePatternReader does for times. Once a log's pattern
// is known, a row whose date does not fit costs as little as one that does.
class DatePatternReader {
  public:
    explicit DatePatternReader(const QString& pattern);

    // False when the pattern holds a field this reader does not know (month names, two-digit
    // years); read() then never answers.
    bool usable() const { return !fields.empty(); }
    // Blanks the pattern's literals hold: a date-time field's time starts after one more.
    int blanks() const { return blankCount; }
    std::optional<QDate> read(QByteArrayView text) const;

  private:
    enum class Kind { Day, Month, Year, Literal };
    struct Field {
        Kind kind;
        int digits = 0;  // 1: one or two, 2: exactly two, 4: exactly four
        QByteArray text; // a literal's bytes
    };
    bool parse(const QString& pattern);

    std::vector<Field> fields;
    int blankCount = 0;
};

} // namespace kt7
