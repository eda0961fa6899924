#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <functional>

namespace kt7 {

// Local time, the blocking wait of a link or port test clicked by the user, and the timed wait of
// links made several at once, which lets the event loop run meanwhile.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Blocks the calling thread: no event is processed meanwhile.
    virtual void blockingWait(int milliseconds) = 0;
    // Runs done once the time has passed, from the event loop; never if context is gone first.
    virtual void waitThen(int milliseconds, QObject* context, std::function<void()> done) {
        QTimer::singleShot(milliseconds, context, std::move(done));
    }
};

} // namespace kt7
