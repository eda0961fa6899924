#pragma once

#include "acquisition/DevicePoller.h"
#include "alarms/AlarmEvent.h"
#include "alarms/AlarmSettings.h"

#include <QDateTime>
#include <array>
#include <functional>
#include <optional>

namespace kt7 {

enum class DevicePresence { Unlinked, Linked, WaitingForPort };

// Watches every polled reading against its device's limits and tells each alarm once when it is
// raised and once when it ends. Nothing is allocated per reading: the state is fixed per device.
class AlarmJudge {
  public:
    using Handler = std::function<void(const AlarmEvent&)>;

    AlarmJudge(const AlarmSettings& settings, Handler handler);

    // One reading of a device (0 is device 1), in its unit after tare.
    void reading(int device, double value, const QDateTime& time);
    // Every reading of a poll. The program learns a reading's time only as the tick that polled
    // it, so the readings of one tick share the tick's time.
    void readingsPolled(const PollResult& poll, const QDateTime& time);
    // Once a tick, after its readings: whose silence is watched.
    void tick(const QDateTime& time, const std::array<DevicePresence, DeviceCount>& presence);

    // Every active alarm told as ended, as when its limits are replaced.
    void endAll(const QDateTime& time);

    bool isActive(int device, AlarmKind kind) const;

  private:
    struct Watch {
        bool active = false;
        std::optional<qint64> beyondSinceMs;
        double extreme = 0;
    };
    struct DeviceState {
        std::array<Watch, AlarmKindCount> watches;
        std::optional<qint64> heardMs; // the last reading, or when its silence began to count
        std::optional<double> lastValue;
    };

    void readingAt(int device, double value, const QDateTime& time, qint64 ms);
    void judgeLimit(int device, AlarmKind kind, double value, const QDateTime& time, qint64 ms);
    void tell(int device, AlarmKind kind, AlarmState state, std::optional<double> value,
              double limit, const QDateTime& time, std::optional<double> extreme) const;

    std::array<DeviceLimits, DeviceCount> limits;
    std::array<DeviceState, DeviceCount> states;
    Handler handler;
};

} // namespace kt7
