#pragma once

namespace kt7 {

// Turns SIGINT, SIGTERM and SIGHUP into a readable descriptor (self-pipe), so the event loop
// sees them in poll() and shuts down through its normal path (links removed, logs closed).
class ShutdownSignal {
  public:
    ShutdownSignal();
    ~ShutdownSignal();
    ShutdownSignal(const ShutdownSignal&) = delete;
    ShutdownSignal& operator=(const ShutdownSignal&) = delete;

    int fd() const { return readEnd_; }
    // Reads the next signal that arrived: SIGINT, SIGTERM or SIGHUP; 0 when none is waiting.
    int take() const;

  private:
    int readEnd_ = -1;
};

} // namespace kt7
