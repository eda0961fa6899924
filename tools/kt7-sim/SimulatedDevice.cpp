#include "SimulatedDevice.h"

#include "DeviceLine.h"
#include "SentLog.h"

#include <algorithm>

SimulatedDevice::SimulatedDevice(const DeviceSettings& settings, unsigned seed, int bytesPerSecond,
                                 SentLog& log, Clock::time_point start)
    : settings_(settings), generator_(settings, seed), log_(log), bytesPerSecond_(bytesPerSecond),
      start_(start), nextDue_(start) {}

void SimulatedDevice::writeRawFirst(std::string bytes, bool streamAfterwards) {
    if (bytes.empty()) {
        log_.rawWritten(settings_.port, 0);
        streaming_ = streamAfterwards;
        return;
    }
    streaming_ = false;
    streamAfterRaw_ = streamAfterwards;
    rawSize_ = bytes.size();
    pending_ = std::move(bytes);
    pendingKind_ = Pending::Raw;
}

void SimulatedDevice::sendDueLines(Clock::time_point now) {
    if (!streaming_)
        return;
    const std::chrono::duration<double> running = now - start_;
    if (settings_.floodSeconds >= 0.0 && running.count() >= settings_.floodSeconds &&
        pendingKind_ == Pending::Nothing) {
        // From now on only the terminal's room paces the device.
        streaming_ = false;
        pending_.assign(FloodChunk, 'x');
        pendingKind_ = Pending::Flood;
        return;
    }
    // After a stall (suspended process, slow machine) resume at the normal pace instead of
    // bursting out everything that would have been sent meanwhile.
    if (now - nextDue_ > std::chrono::seconds(1))
        nextDue_ = now;
    while (nextDue_ <= now) {
        const std::chrono::duration<double> elapsed = nextDue_ - start_;
        const std::string value = generator_.textAt(elapsed.count());
        const bool changed =
            settings_.unitChangeSeconds >= 0.0 && elapsed.count() >= settings_.unitChangeSeconds;
        const std::string line = deviceLine(value, changed ? settings_.laterUnit : settings_.unit);
        sendLine(value, line);
        nextDue_ += lineTime(line.size());
    }
}

void SimulatedDevice::sendLine(const std::string& value, const std::string& line) {
    if (pendingKind_ != Pending::Nothing) {
        log_.dropped(settings_.port, value);
        return;
    }
    const std::size_t written = terminal_.writeSome(line);
    if (written == line.size()) {
        log_.sent(settings_.port, value);
    } else if (written == 0) {
        log_.dropped(settings_.port, value);
    } else {
        pending_ = line.substr(written);
        pendingValue_ = value;
        pendingKind_ = Pending::Line;
    }
}

void SimulatedDevice::onWritable(Clock::time_point now) {
    if (pending_.empty())
        return;
    pending_.erase(0, terminal_.writeSome(pending_));
    if (pendingKind_ == Pending::Flood && pending_.empty())
        pending_.assign(FloodChunk, 'x');
    if (!pending_.empty())
        return;
    if (pendingKind_ == Pending::Line) {
        log_.sent(settings_.port, pendingValue_);
    } else if (pendingKind_ == Pending::Raw) {
        log_.rawWritten(settings_.port, rawSize_);
        streaming_ = streamAfterRaw_;
        nextDue_ = now;
    }
    pendingKind_ = Pending::Nothing;
}

// A line takes 1/rate seconds, but never less than its bytes take at the line's byte rate.
SimulatedDevice::Clock::duration SimulatedDevice::lineTime(std::size_t bytes) const {
    const double seconds =
        std::max(1.0 / settings_.linesPerSecond, static_cast<double>(bytes) / bytesPerSecond_);
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}
