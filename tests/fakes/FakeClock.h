#pragma once

#include "platform/Clock.h"

#include <functional>

namespace kt7test {

// Time moves only when the test says so; a blocking wait advances it and runs a hook, so that
// bytes can "arrive" during the wait.
class FakeClock : public kt7::Clock {
  public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 7), QTime(17, 34, 26)))
        : current(std::move(start)) {}

    QDateTime now() const override { return current; }
    void blockingWait(int milliseconds) override {
        waits.push_back(milliseconds);
        current = current.addMSecs(milliseconds);
        if (onWait)
            onWait(milliseconds);
    }

    // The timed wait passes at once, as a blocking one would, so a test needs no event loop.
    void waitThen(int milliseconds, QObject*, std::function<void()> done) override {
        blockingWait(milliseconds);
        done();
    }

    void set(const QDateTime& time) { current = time; }
    void advanceSeconds(int seconds) { current = current.addSecs(seconds); }

    QDateTime current;
    std::vector<int> waits;
    std::function<void(int)> onWait;
};

} // namespace kt7test
