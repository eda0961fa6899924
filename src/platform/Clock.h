#pragma once

#include <QDateTime>

namespace kt7 {

// Local time and the blocking wait of the link and port test.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Blocks the calling thread: no event is processed meanwhile.
    virtual void blockingWait(int milliseconds) = 0;
};

} // namespace kt7
