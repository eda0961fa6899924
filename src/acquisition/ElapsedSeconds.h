#pragma once

namespace kt7 {

// Wall-clock seconds between sampling ticks, from the second of the minute alone: two stamps
// written by alternate updates, the step being the later minus the earlier modulo 60. Late or
// merged timer ticks therefore do not distort the sampling interval.
class ElapsedSeconds {
  public:
    // Takes the current second of the minute (0..59) and returns the seconds since the previous
    // update. The first update counts from second 0.
    int update(int secondOfMinute);
    void resetStep() { step = 0; }

    int secPhase() const { return phase; }
    int secStampA() const { return stampA; }
    int secStampB() const { return stampB; }
    int secStep() const { return step; }

  private:
    int phase = 0;
    int stampA = 0;
    int stampB = 0;
    int step = 0;
};

} // namespace kt7
