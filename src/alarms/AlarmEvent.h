#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace kt7 {

enum class AlarmKind { High, Low, Silent };
enum class AlarmState { Raised, Ended };

constexpr int AlarmKindCount = 3;

inline QLatin1String alarmKindName(AlarmKind kind) {
    switch (kind) {
    case AlarmKind::High:
        return QLatin1String("high");
    case AlarmKind::Low:
        return QLatin1String("low");
    case AlarmKind::Silent:
        break;
    }
    return QLatin1String("silent");
}

// One alarm raised or ended.
struct AlarmEvent {
    int device = 0; // 0 is device 1
    AlarmKind kind = AlarmKind::High;
    AlarmState state = AlarmState::Raised;
    std::optional<double> value;   // the reading that caused it; silent: the last one, if any
    double limit = 0;              // high or low limit; silent: its seconds
    QDateTime time;                // the time of the tick that polled the reading
    std::optional<double> extreme; // farthest beyond the limit so far; none for silent

    bool operator==(const AlarmEvent&) const = default;
};

} // namespace kt7
