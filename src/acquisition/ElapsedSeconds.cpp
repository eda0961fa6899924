#include "acquisition/ElapsedSeconds.h"

#include <algorithm>

namespace kt7 {

namespace {

int secondsFromTo(int earlier, int later) {
    return later < earlier ? later + 60 - earlier : later - earlier;
}

} // namespace

int ElapsedSeconds::update(int secondOfMinute) {
    // A leap second (60) or a bad clock value must not push the step out of 0..59.
    const int s = std::clamp(secondOfMinute, 0, 59);
    if (phase == 0) {
        stampA = s;
        step = secondsFromTo(stampB, stampA);
        phase = 1;
    } else {
        stampB = s;
        step = secondsFromTo(stampA, stampB);
        phase = 0;
    }
    return step;
}

} // namespace kt7
