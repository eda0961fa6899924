#pragma once

#include "DeviceSettings.h"
#include "PseudoTerminal.h"
#include "ReadingGenerator.h"

#include <chrono>
#include <string>

class SentLog;

// One instrument on its own pseudo-terminal. It first writes the raw bytes it was given (if
// any), then streams readings paced so neither the line rate nor the byte rate of the line is
// exceeded. A line is only ever sent whole: when the terminal is full the line is dropped, and
// a line the terminal took only in part is completed before anything else is sent.
class SimulatedDevice {
  public:
    using Clock = std::chrono::steady_clock;

    SimulatedDevice(const DeviceSettings& settings, unsigned seed, int bytesPerSecond, SentLog& log,
                    Clock::time_point start);

    int port() const { return settings_.port; }
    int fd() const { return terminal_.masterFd(); }
    const std::string& slavePath() const { return terminal_.slavePath(); }

    void writeRawFirst(std::string bytes, bool streamAfterwards);
    bool rawDone() const { return pendingKind_ != Pending::Raw; }
    bool wantsWritable() const { return !pending_.empty(); }
    bool streaming() const { return streaming_; }
    Clock::time_point nextDue() const { return nextDue_; }

    void sendDueLines(Clock::time_point now);
    void onWritable(Clock::time_point now);
    void onReadable() { terminal_.discardInput(); }

  private:
    static constexpr std::size_t FloodChunk = 64 * 1024;
    enum class Pending { Nothing, Line, Raw, Flood };

    void sendLine(const std::string& value, const std::string& line);
    Clock::duration lineTime(std::size_t bytes) const;

    DeviceSettings settings_;
    ReadingGenerator generator_;
    PseudoTerminal terminal_;
    SentLog& log_;
    int bytesPerSecond_;
    Clock::time_point start_;
    Clock::time_point nextDue_;
    bool streaming_ = true;
    bool streamAfterRaw_ = true;
    Pending pendingKind_ = Pending::Nothing;
    std::string pending_;
    std::string pendingValue_;
    std::size_t rawSize_ = 0;
};
