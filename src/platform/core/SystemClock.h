#pragma once

#include "platform/Clock.h"

namespace kt7 {

class SystemClock : public Clock {
  public:
    QDateTime now() const override;
    void blockingWait(int milliseconds) override;
};

} // namespace kt7
