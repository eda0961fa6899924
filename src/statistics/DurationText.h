#pragma once

#include <QString>

namespace kt7 {

// A span of seconds as a person reads it: "12.4 s", "1 min 12.4 s", "2 h 0 min 5 s",
// "3 d 4 h 0 min 0 s". Tenths of a second only when there are any; a point as the decimal
// separator whatever the desktop's settings, like every number of the program.
QString durationText(double seconds);

} // namespace kt7
