#include "alarms/AlarmJudge.h"

#include <algorithm>
#include <cmath>

namespace kt7 {

namespace {

qint64 milliseconds(double seconds) {
    return std::llround(seconds * 1000);
}

} // namespace

AlarmJudge::AlarmJudge(const AlarmSettings& settings, Handler handler)
    : limits(settings.devices), handler(std::move(handler)) {}

void AlarmJudge::reading(int device, double value, const QDateTime& time) {
    if (device >= 0 && device < DeviceCount)
        readingAt(device, value, time, time.toMSecsSinceEpoch());
}

void AlarmJudge::readingAt(int device, double value, const QDateTime& time, qint64 ms) {
    DeviceState& state = states[device];
    state.heardMs = ms;
    state.lastValue = value;
    Watch& silent = state.watches[static_cast<int>(AlarmKind::Silent)];
    if (silent.active) {
        silent.active = false;
        tell(device, AlarmKind::Silent, AlarmState::Ended, value, limits[device].silent.value_or(0),
             time, std::nullopt);
    }
    judgeLimit(device, AlarmKind::High, value, time, ms);
    judgeLimit(device, AlarmKind::Low, value, time, ms);
}

// A local time's milliseconds cost a time-zone lookup: taken once for the tick's readings.
void AlarmJudge::readingsPolled(const PollResult& poll, const QDateTime& time) {
    const qint64 ms = time.toMSecsSinceEpoch();
    for (int d = 0; d < DeviceCount; ++d)
        for (const double value : poll.readings[d])
            readingAt(d, value, time, ms);
}

void AlarmJudge::judgeLimit(int device, AlarmKind kind, double value, const QDateTime& time,
                            qint64 ms) {
    const DeviceLimits& l = limits[device];
    const bool high = kind == AlarmKind::High;
    const std::optional<double> limit = high ? l.high : l.low;
    if (!limit)
        return;
    Watch& watch = states[device].watches[static_cast<int>(kind)];
    const bool beyond = high ? value > *limit : value < *limit;
    if (watch.active) {
        const bool backInside = high ? value <= *limit - l.deadband : value >= *limit + l.deadband;
        if (backInside) {
            const double extreme = watch.extreme;
            watch = {};
            tell(device, kind, AlarmState::Ended, value, *limit, time, extreme);
        } else if (beyond) {
            watch.extreme = high ? std::max(watch.extreme, value) : std::min(watch.extreme, value);
        }
        return;
    }
    if (!beyond) {
        watch.beyondSinceMs.reset();
        return;
    }
    if (!watch.beyondSinceMs) {
        watch.beyondSinceMs = ms;
        watch.extreme = value;
    }
    watch.extreme = high ? std::max(watch.extreme, value) : std::min(watch.extreme, value);
    if (ms - *watch.beyondSinceMs >= milliseconds(l.delay)) {
        watch.active = true;
        tell(device, kind, AlarmState::Raised, value, *limit, time, watch.extreme);
    }
}

void AlarmJudge::tick(const QDateTime& time,
                      const std::array<DevicePresence, DeviceCount>& presence) {
    const qint64 ms = time.toMSecsSinceEpoch();
    for (int d = 0; d < DeviceCount; ++d) {
        DeviceState& state = states[d];
        Watch& silent = state.watches[static_cast<int>(AlarmKind::Silent)];
        const std::optional<double> seconds = limits[d].silent;
        if (presence[d] == DevicePresence::Unlinked) {
            // Unlinked by the user: its silence is no longer a fault, and a new link counts anew.
            state.heardMs.reset();
            if (silent.active) {
                silent.active = false;
                tell(d, AlarmKind::Silent, AlarmState::Ended, state.lastValue, seconds.value_or(0),
                     time, std::nullopt);
            }
            continue;
        }
        if (!state.heardMs)
            state.heardMs = ms;
        if (seconds && !silent.active && ms - *state.heardMs >= milliseconds(*seconds)) {
            silent.active = true;
            tell(d, AlarmKind::Silent, AlarmState::Raised, state.lastValue, *seconds, time,
                 std::nullopt);
        }
    }
}

void AlarmJudge::endAll(const QDateTime& time) {
    for (int d = 0; d < DeviceCount; ++d) {
        for (int k = 0; k < AlarmKindCount; ++k) {
            Watch& watch = states[d].watches[k];
            if (!watch.active)
                continue;
            const auto kind = static_cast<AlarmKind>(k);
            const DeviceLimits& l = limits[d];
            const double limit = kind == AlarmKind::High  ? l.high.value_or(0)
                                 : kind == AlarmKind::Low ? l.low.value_or(0)
                                                          : l.silent.value_or(0);
            const std::optional<double> extreme =
                kind == AlarmKind::Silent ? std::nullopt : std::optional(watch.extreme);
            watch = {};
            tell(d, kind, AlarmState::Ended, states[d].lastValue, limit, time, extreme);
        }
    }
}

bool AlarmJudge::isActive(int device, AlarmKind kind) const {
    if (device < 0 || device >= DeviceCount)
        return false;
    return states[device].watches[static_cast<int>(kind)].active;
}

void AlarmJudge::tell(int device, AlarmKind kind, AlarmState state, std::optional<double> value,
                      double limit, const QDateTime& time, std::optional<double> extreme) const {
    if (handler)
        handler(AlarmEvent{device, kind, state, value, limit, time, extreme});
}

} // namespace kt7
