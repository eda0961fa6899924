#pragma once

#include <QString>
#include <optional>

namespace kt7 {

// The automatic-logging interval in seconds as the tick uses it: the box's text read as a decimal
// number, rounded half to even. Nothing when that is not a whole number from 1 to 32767, so such
// text never triggers an interval row.
std::optional<int> intervalSeconds(const QString& text);

// What the interval box's text becomes after an edit: "1" for every number that rounds to 1 or
// less; nothing (keep the text as typed) otherwise, including while it is empty or not a number.
std::optional<QString> normalisedIntervalText(const QString& text);

} // namespace kt7
