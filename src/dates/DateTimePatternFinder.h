#pragma once

#include "dates/DateTimeFieldReader.h"

#include <QByteArrayView>
#include <QLocale>

#include <optional>
#include <vector>

namespace kt7 {

// Finds which desktop's date and time pattern a log was written with, from the date fields of
// its first rows: logs travel between desktops. The candidates, in this order: the desktop's
// own pattern, then en_US "M/d/yyyy h:mm:ss AP", en_GB and fr "dd/MM/yyyy HH:mm:ss",
// de "dd.MM.yyyy HH:mm:ss" and ISO 8601 "yyyy-MM-dd HH:mm:ss".
class DateTimePatternFinder {
  public:
    static constexpr int SampleRows = 16;

    explicit DateTimePatternFinder(const QLocale& desktop);

    // Tries every candidate on the date field of one more row.
    void sample(QByteArrayView field);
    // The reader of the candidate that read the most sampled fields; of those that read as
    // many, the first in the order above, so a day and month that both fit (7/12) go by the
    // desktop's own order. Empty when no candidate read any.
    std::optional<DateTimeFieldReader> found() const;

  private:
    std::vector<DateTimeFieldReader> candidates;
    std::vector<int> reads;
};

} // namespace kt7
