#include "Simulator.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <stdexcept>
#include <system_error>

namespace {

using Clock = SimulatedDevice::Clock;

std::string readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read raw file " + path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// 8N1: ten bits on the line per byte.
int bytesPerSecond(int baud) {
    return std::max(1, baud / 10);
}

} // namespace

Simulator::Simulator(const SimulatorOptions& options)
    : options_(options), log_(options.sentLog), start_(Clock::now()) {
    const std::string raw =
        options_.rawFile.empty() ? std::string() : readWholeFile(options_.rawFile);
    unsigned seed = options_.seed;
    for (const DeviceSettings& settings : options_.devices) {
        auto device = std::make_unique<SimulatedDevice>(
            settings, seed++, bytesPerSecond(options_.baud), log_, start_);
        if (!options_.rawFile.empty())
            device->writeRawFirst(raw, options_.afterRaw == AfterRaw::Stream);
        devices_.push_back(std::move(device));
    }
    for (const auto& device : devices_)
        links_.push_back(
            std::make_unique<PortLink>(device->port(), device->slavePath(), options_.unplugOnExit));
}

void Simulator::announce(std::ostream& out) const {
    for (const auto& device : devices_)
        out << "COM" << device->port() << " -> " << device->slavePath() << '\n';
    out << "ready" << std::endl;
}

void Simulator::run() {
    std::vector<pollfd> watched;
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (finished(now))
            return;
        for (const auto& device : devices_)
            device->sendDueLines(now);

        watched.assign(1, pollfd{shutdown_.fd(), POLLIN, 0});
        for (const auto& device : devices_) {
            const short events = device->wantsWritable() ? POLLIN | POLLOUT : POLLIN;
            watched.push_back(pollfd{device->fd(), events, 0});
        }
        if (::poll(watched.data(), watched.size(), pollTimeoutMs(now)) < 0) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category(), "poll");
        }
        if (watched[0].revents != 0)
            return;
        const Clock::time_point woken = Clock::now();
        for (std::size_t i = 0; i < devices_.size(); ++i) {
            if (watched[i + 1].revents & POLLIN)
                devices_[i]->onReadable();
            if (watched[i + 1].revents & POLLOUT)
                devices_[i]->onWritable(woken);
        }
    }
}

bool Simulator::finished(Clock::time_point now) const {
    const std::chrono::duration<double> elapsed = now - start_;
    if (options_.durationSeconds > 0.0 && elapsed.count() >= options_.durationSeconds)
        return true;
    if (options_.rawFile.empty() || options_.afterRaw != AfterRaw::Exit)
        return false;
    return std::all_of(devices_.begin(), devices_.end(),
                       [](const auto& device) { return device->rawDone(); });
}

int Simulator::pollTimeoutMs(Clock::time_point now) const {
    // Retry a pending write now and then even if the terminal never reports room.
    Clock::time_point wake = now + std::chrono::milliseconds(
                                       std::any_of(devices_.begin(), devices_.end(),
                                                   [](const auto& d) { return d->wantsWritable(); })
                                           ? 50
                                           : 1000);
    for (const auto& device : devices_)
        if (device->streaming())
            wake = std::min(wake, device->nextDue());
    if (options_.durationSeconds > 0.0)
        wake =
            std::min(wake, start_ + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(options_.durationSeconds)));
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now);
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
}
